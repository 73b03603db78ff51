#include "report/PRPanels.h"

#include <QPainter>

#include "common/Exceptions.h"
#include "report/PRItem.h"

namespace tovra {

TPRPanel::TPRPanel(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 185, 100); }

TPRPage* TPRPanel::HostPage() const {
    if (auto* page = dynamic_cast<TPRPage*>(Parent())) return page;
    if (auto* panel = dynamic_cast<TPRPanel*>(Parent())) return panel->HostPage();
    return nullptr;
}

void TPRPanel::PrintPanel(TPRCanvas& canvas, const TRect& rect) {
    for (TControl* child : Children()) {
        const TRect bounds = child->BoundsRect();
        const TRect childRect{bounds.Left + rect.Left, bounds.Top + rect.Top, bounds.Right + rect.Left,
                              bounds.Bottom + rect.Top};
        if (auto* panel = dynamic_cast<TPRPanel*>(child)) {
            panel->PrintPanel(canvas, childRect);
        } else if (auto* item = dynamic_cast<TPRItem*>(child)) {
            if (item->Printable) item->PrintItem(canvas, childRect);
        }
    }
}

void TPRPanel::OffsetOnPage(int* x, int* y) const {
    *x = 0;
    *y = 0;
    for (const TControl* control = this; control && !dynamic_cast<const TPRPage*>(control); control = control->Parent()) {
        *x += control->Left();
        *y += control->Top();
    }
}

void TPRPanel::Paint(QPainter& painter) const {
    painter.fillRect(0, 0, Width(), Height(), Qt::white);
    int x, y;
    OffsetOnPage(&x, &y);
    PaintGuideGrid(painter, Width(), Height(), x, y);
    QPen outline(QColor(0x00, 0x80, 0x00));
    outline.setStyle(Qt::DotLine);
    outline.setWidth(0);
    painter.setPen(outline);
    painter.drawRect(0, 0, Width() - 1, Height() - 1);
}

TControl* CheckPanelParent(TControl* parent, bool redirectGrid) {
    if (!parent) return nullptr;
    if (auto* grid = dynamic_cast<TPRGridPanel*>(parent)) return redirectGrid ? grid->ChildPanel() : parent;
    if (dynamic_cast<TPRPanel*>(parent) || dynamic_cast<TPRPage*>(parent)) return parent;
    throw Exception("TPRPage can not set on " + parent->ClassName());
}

void TPRLayoutPanel::SetParent(TControl* parent) { TPRPanel::SetParent(CheckPanelParent(parent, true)); }

void TPRLayoutPanel::PrintPanel(TPRCanvas& canvas, const TRect& rect) {
    if (BeforePrint) BeforePrint(*this, canvas, rect);
    TPRPanel::PrintPanel(canvas, rect);
    if (AfterPrint) AfterPrint(*this, canvas, rect);
}

// ---- grid panel -----------------------------------------------------------------------------

TPRGridPanel::TPRGridPanel(TComponent* owner) : TPRPanel(owner), childPanel_(Make<TPRChildPanel>()) {
    childPanel_->SetParent(this);
    childPanel_->SetAlign(alClient);
}

void TPRGridPanel::SetParent(TControl* parent) { TPRPanel::SetParent(CheckPanelParent(parent, false)); }

void TPRGridPanel::SetColCount(int value) {
    if (value == colCount_) return;
    if (value <= 0 || Width() / value < 10) throw Exception("invalid colcount");
    colCount_ = value;
    AlignControls();
    Invalidate();
}

void TPRGridPanel::SetRowCount(int value) {
    if (value == rowCount_) return;
    if (value <= 0 || Height() / value < 10) throw Exception("invalid rowcount");
    rowCount_ = value;
    AlignControls();
    Invalidate();
}

TRect TPRGridPanel::AlignRect() const {
    const int width = colCount_ > 1 ? Width() / colCount_ : Width();
    const int height = rowCount_ > 1 ? Height() / rowCount_ : Height();
    return {0, 0, width, height};
}

void TPRGridPanel::PrintPanel(TPRCanvas& canvas, const TRect& rect) {
    if (BeforePrint) BeforePrint(*this, canvas, rect);
    auto printCell = [&](int col, int row) {
        const int left = rect.Left + static_cast<int>(static_cast<double>(col) * Width() / colCount_);
        const int top = rect.Top + static_cast<int>(static_cast<double>(row) * Height() / rowCount_);
        const TRect cell{left, top, left + childPanel_->Width(), top + childPanel_->Height()};
        if (BeforePrintChild) BeforePrintChild(*this, canvas, col, row, cell);
        childPanel_->PrintPanel(canvas, cell);
        if (AfterPrintChild) AfterPrintChild(*this, canvas, col, row, cell);
    };
    if (PrintDirection == pdHorz) {
        for (int row = 0; row < rowCount_; ++row)
            for (int col = 0; col < colCount_; ++col) printCell(col, row);
    } else {
        for (int col = 0; col < colCount_; ++col)
            for (int row = 0; row < rowCount_; ++row) printCell(col, row);
    }
    if (AfterPrint) AfterPrint(*this, canvas, rect);
}

void TPRGridPanel::Paint(QPainter& painter) const {
    const bool cells = colCount_ > 1 || rowCount_ > 1;
    painter.fillRect(0, 0, Width(), Height(), cells ? QColor(0xEF, 0xEF, 0xEF) : QColor(Qt::white));
    if (cells) painter.fillRect(0, 0, childPanel_->Width(), childPanel_->Height(), Qt::white);
    int x, y;
    OffsetOnPage(&x, &y);
    PaintGuideGrid(painter, Width(), Height(), x, y);
    if (!cells) return;
    QPen pen(QColor(0x00, 0x00, 0xFF));
    pen.setStyle(Qt::DotLine);
    pen.setWidth(0);
    painter.setPen(pen);
    auto pulledIn = [](int position, int edge) { return position >= edge ? edge - 1 : position; };
    for (int i = 0; i <= rowCount_; ++i) {
        const int yLine = pulledIn(static_cast<int>(static_cast<double>(i) * Height() / rowCount_), Height());
        painter.drawLine(0, yLine, Width(), yLine);
    }
    for (int j = 0; j <= colCount_; ++j) {
        const int xLine = pulledIn(static_cast<int>(static_cast<double>(j) * Width() / colCount_), Width());
        painter.drawLine(xLine, 0, xLine, Height());
    }
}

}  // namespace tovra
