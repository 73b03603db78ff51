#include "PreviewView.h"

#include <QImage>

#include <algorithm>
#include <QPainter>

#include "report/PRPage.h"

namespace tovra {

namespace {
// Room on the right and below the page, matching its offset from the top-left corner; no larger
// than a widget can be (a Full Size page of a huge picture is larger).
QSize ViewSizeFor(const TPRPage& page) {
    auto side = [](int offset, int extent) {
        return static_cast<int>(std::clamp<qint64>(qint64{offset} * 2 + extent, 0, QWIDGETSIZE_MAX));
    };
    return {side(page.Left(), page.Width()), side(page.Top(), page.Height())};
}

// The part of the view CheckPaints paints: enough to decode the picture, never the whole of a
// huge page.
constexpr int kCheckPaintSide = 2048;
}  // namespace

QColor PreviewBackground() { return QColor(0x80, 0x80, 0x80); }

TPreviewView::TPreviewView(TPRPage& page, QWidget* parent) : QWidget(parent), page_(&page) {
    setObjectName("prpView");
    setAccessibleName("Preview");
    setAccessibleDescription("The page of the selected image as it will be in the PDF");
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    resize(ViewSizeFor(page));
    page.OnChanged = [this] { PageChanged(); };
}

TPreviewView::~TPreviewView() { Detach(); }

void TPreviewView::Detach() {
    if (page_) page_->OnChanged = nullptr;
    page_ = nullptr;
}

void TPreviewView::PageChanged() {
    if (!page_) return;
    const QSize wanted = ViewSizeFor(*page_);
    if (size() != wanted) {
        resize(wanted);
        setMinimumSize(wanted);
    }
    update();
}

void TPreviewView::PaintPage(QPainter& painter) const {
    painter.fillRect(rect(), PreviewBackground());
    if (!page_ || !page_->Visible()) return;
    painter.save();
    painter.translate(page_->Left(), page_->Top());
    painter.setClipRect(0, 0, page_->Width(), page_->Height());
    page_->PaintTree(painter);
    painter.restore();
}

void TPreviewView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    try {
        PaintPage(painter);
    } catch (const std::exception&) {
        // A picture that cannot be decoded was reported when its row was shown (CheckPaints);
        // painting goes on without it.
    }
}

void TPreviewView::CheckPaints() const {
    QImage scratch(std::clamp(width(), 1, kCheckPaintSide), std::clamp(height(), 1, kCheckPaintSide),
                   QImage::Format_RGB32);
    scratch.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(&scratch);
    PaintPage(painter);
}

QImage TPreviewView::Grab() const {
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    PaintPage(painter);
    return image;
}

}  // namespace tovra
