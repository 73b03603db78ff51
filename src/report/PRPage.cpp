#include "report/PRPage.h"

#include <QImage>
#include <QPainter>

#include "pdf/PdfDoc.h"
#include "report/PRPanels.h"

namespace tovra {

TPRPage::TPRPage(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 596, 842); }

TPRPage::~TPRPage() = default;

void TPRPage::SetMargin(int& margin, int value) {
    if (value == margin || value < 0 || value >= Width() / 2) return;
    margin = value;
    AlignControls();
    Invalidate();
}

TRect TPRPage::ContentRect() const {
    return {marginLeft_ + 1, marginTop_ + 1, Width() - marginRight_ - 1, Height() - marginBottom_ - 1};
}

void TPRPage::PrintOn(TPRCanvas& canvas) {
    canvas.PdfCanvas->SetPageHeight(Height());
    canvas.PdfCanvas->SetPageWidth(Width());
    if (OnPrintPage) OnPrintPage(*this, canvas);
    for (TControl* child : Children()) {
        if (auto* panel = dynamic_cast<TPRPanel*>(child)) panel->PrintPanel(canvas, child->BoundsRect());
    }
}

void TPRPage::Invalidate() {
    if (OnChanged) OnChanged();
}

void TPRPage::Paint(QPainter& painter) const {
    painter.fillRect(0, 0, Width(), Height(), Qt::white);
    PaintGuideGrid(painter, Width(), Height(), 0, 0);
}

QImage TPRPage::PaintToImage() const {
    QImage image(std::max(1, Width()), std::max(1, Height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintTree(painter);
    return image;
}

namespace {
// Offsets of the grid lines: Trunc(k * 378 / 20), i.e. 5 mm at 96 pixels per inch.
int GridOffset(int k) { return k * 378 / 20; }
}  // namespace

void PaintGuideGrid(QPainter& painter, int width, int height, int offsetX, int offsetY) {
    painter.save();
    QPen solid(QColor(0xC0, 0xC0, 0xC0));
    solid.setWidth(0);
    QPen dotted = solid;
    dotted.setStyle(Qt::DotLine);
    auto drawLines = [&](int extent, int offset, bool vertical, int length) {
        for (int k = 0;; ++k) {
            const int position = GridOffset(k) - offset;
            if (position >= extent) break;
            if (GridOffset(k) == 0 || position <= 0) continue;
            painter.setPen(k % 2 == 0 ? solid : dotted);
            if (vertical) {
                painter.drawLine(position, 0, position, length);
            } else {
                painter.drawLine(0, position, length, position);
            }
        }
    };
    drawLines(width, offsetX, true, height);
    drawLines(height, offsetY, false, width);
    painter.restore();
}

}  // namespace tovra
