#include "report/PRImage.h"

#include <algorithm>
#include <chrono>

#include <QPainter>

#include "common/Exceptions.h"
#include "imaging/JpegExif.h"
#include "imaging/RecordImage.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfImages.h"
#include "report/UprightPicture.h"

namespace tovra {

namespace {
std::optional<uint32_t>& FixedNameSeed() {
    static std::optional<uint32_t> seed;
    return seed;
}

uint32_t ClockSeed() {
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// Items made since the seed was fixed; each takes the next seed, so that their names do not
// all start at the same number and probe past each other.
uint32_t& ItemsSinceFixedSeed() {
    static uint32_t count = 0;
    return count;
}

uint32_t SeedForNewItem() {
    if (!FixedNameSeed()) return ClockSeed();
    return *FixedNameSeed() + ItemsSinceFixedSeed()++;
}

constexpr uint32_t kNameCount = 65535;
}  // namespace

void TPRImage::SetNameSeed(std::optional<uint32_t> seed) {
    FixedNameSeed() = seed;
    ItemsSinceFixedSeed() = 0;
}

TPRImage::TPRImage(TComponent* owner) : TPRItem(owner), random_(SeedForNewItem()) {}

uint32_t TPRImage::NextRandom(uint32_t range) { return std::uniform_int_distribution<uint32_t>(0, range - 1)(random_); }

void TPRImage::SetPicture(const TPicture& picture) {
    if (picture.Graphic() && !picture.IsBitmap() && !picture.IsRecord()) throw Exception("only bitmap image is allowed.");
    picture_ = picture;
    Invalidate();
}

void TPRImage::SetStretch(bool value) {
    if (value == stretch_) return;
    stretch_ = value;
    Invalidate();
}

void TPRImage::SetAutoOrient(bool value) {
    if (value == autoOrient_) return;
    autoOrient_ = value;
    Invalidate();
}

int TPRImage::Orientation() const {
    const TGraphic* graphic = picture_.Graphic();
    return autoOrient_ && graphic ? graphic->Orientation() : kOrientationUpright;
}

int TPRImage::NaturalWidth() const {
    return OrientationSwapsSides(Orientation()) ? picture_.Height() : picture_.Width();
}

int TPRImage::NaturalHeight() const {
    return OrientationSwapsSides(Orientation()) ? picture_.Width() : picture_.Height();
}

bool TPRImage::HoldsPrintableGraphic() const {
    return (picture_.IsBitmap() || picture_.IsRecord()) && !picture_.Empty();
}

std::string TPRImage::CreatorName() const { return picture_.IsRecord() ? "Pdf-Record" : "Pdf-Bitmap"; }

std::string TPRImage::FreeImageName(TPdfDoc& doc, const std::string& prefix) {
    // Start anywhere, then probe the following numbers, wrapping after 65534.
    uint32_t number = NextRandom(kNameCount - 1);
    for (uint32_t tried = 0; tried < kNameCount; ++tried) {
        const std::string name = prefix + std::to_string(number);
        if (!doc.FindXObject(name)) return name;
        number = number == kNameCount - 1 ? 0 : number + 1;
    }
    throw Exception("image count over max value..");
}

void TPRImage::PrintItem(TPRCanvas& canvas, const TRect& rect) {
    if (!HoldsPrintableGraphic()) return;
    PrintPicture(canvas, rect);
}

void TPRImage::PrintPicture(TPRCanvas& canvas, const TRect& rect) {
    TPdfCanvas& pdf = *canvas.PdfCanvas;
    TPdfDoc& doc = *pdf.GetDoc();
    std::string name = Name;
    if (!SharedImage) name = FreeImageName(doc, Name);
    if (!doc.FindXObject(name)) {
        std::unique_ptr<TPdfImage> image = CreatePdfImage(picture_, CreatorName(), {doc.LosslessDecoded});
        doc.AddImage(name, std::move(image));
    }
    const TPRPage* page = HostPage();
    const float pageHeight = static_cast<float>(page ? page->Height() : 0);
    const auto left = static_cast<float>(rect.Left);
    const auto top = static_cast<float>(rect.Top);
    const auto width = static_cast<float>(Width());
    const auto height = static_cast<float>(Height());
    if (stretch_) {
        DrawImageObject(pdf, name, {left, pageHeight - static_cast<float>(rect.Bottom), width, height}, std::nullopt);
    } else {
        const auto pictureWidth = static_cast<float>(NaturalWidth());
        const auto pictureHeight = static_cast<float>(NaturalHeight());
        DrawImageObject(pdf, name, {left, pageHeight - top - pictureHeight, pictureWidth, pictureHeight},
                        TPdfBox{left, pageHeight - top - height, width, height});
    }
}

void TPRImage::DrawImageObject(TPdfCanvas& pdf, const std::string& name, const TPdfBox& box,
                               const std::optional<TPdfBox>& clip) {
    const int orientation = Orientation();
    // Upright pictures keep the plain drawing, so their pages stay byte for byte as before.
    if (orientation != kOrientationUpright) {
        pdf.DrawXObjectMatrix(UprightMatrix(orientation, box), clip, name);
    } else if (clip) {
        pdf.DrawXObjectEx(box.x, box.y, box.width, box.height, clip->x, clip->y, clip->width, clip->height, name);
    } else {
        pdf.DrawXObject(box.x, box.y, box.width, box.height, name);
    }
}

QImage TPRImage::StoredScreenImage(const QSize& drawn) const {
    if (const TRecordImage* record = picture_.Record()) {
        // The longer side is the same turned or not, so the decode size does not depend on the turn.
        const int side = std::max(drawn.width(), drawn.height());
        return side > 0 ? record->ScreenImage(side) : QImage();
    }
    return picture_.Graphic()->ToImage();
}

QImage TPRImage::ScreenImage(const QSize& drawn) const {
    const QImage stored = StoredScreenImage(drawn);
    storedSize_ = stored.size();
    const int orientation = Orientation();
    if (orientation == kOrientationUpright) {
        upright_ = QImage();  // a large picture's turned copy is not kept for nothing
        return stored;
    }
    if (stored.cacheKey() != uprightSource_ || orientation != uprightOrientation_ || upright_.isNull()) {
        upright_ = UprightImage(stored, orientation);
        uprightSource_ = stored.cacheKey();
        uprightOrientation_ = orientation;
    }
    return upright_;
}

void TPRImage::Paint(QPainter& painter) const {
    if (!picture_.Graphic() || picture_.Empty()) {
        QPen outline(QColor(0x00, 0x00, 0xFF));
        outline.setStyle(Qt::DotLine);
        outline.setWidth(0);
        painter.setPen(outline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, Width() - 1, Height() - 1);
        return;
    }
    const QRect target = stretch_ ? QRect(0, 0, Width(), Height()) : QRect(0, 0, NaturalWidth(), NaturalHeight());
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QImage image = ScreenImage((QSizeF(target.size()) * ratio).toSize());
    // Enlarged pictures show their pixels as blocks, as PDF readers draw them; reduced ones are smoothed.
    const bool reduced = target.width() < image.width() || target.height() < image.height();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, reduced);
    painter.drawImage(target, image);
}

}  // namespace tovra
