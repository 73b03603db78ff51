#include "report/PRJpegImage.h"

#include <algorithm>

#include "common/Exceptions.h"
#include "imaging/JpegExif.h"
#include "imaging/JpegImage.h"
#include "pdf/PdfDoc.h"
#include "report/UprightPicture.h"

namespace tovra {

namespace {
constexpr uint32_t kNameCount = 65535;
}

void TPRJpegImage::SetPicture(const TPicture& picture) {
    if (picture.Graphic() && !picture.IsJpeg()) throw Exception("only jpeg image is allowed.");
    picture_ = picture;
    Invalidate();
}

QImage TPRJpegImage::ScreenImage(const QSize& drawn) const {
    const auto* jpeg = dynamic_cast<const TJpegImage*>(picture_.Graphic());
    if (!jpeg) return TPRImage::ScreenImage(drawn);
    // The longer side is the same turned or not, so the decode size does not depend on the turn.
    const int side = std::max(drawn.width(), drawn.height());
    if (side <= 0) return QImage();
    const TScreenKey key{jpeg, jpeg->FileName(), QSize(jpeg->Width(), jpeg->Height()), side};
    if (!(key == screenKey_) || screenImage_.isNull()) {
        screenImage_ = QImage();
        screenImage_ = jpeg->Decode(side);
        screenKey_ = key;
    }
    return UprightScreenImage(screenImage_);
}

QImage TPRJpegImage::UprightScreenImage(const QImage& stored) const {
    const int orientation = Orientation();
    if (orientation == kOrientationUpright) {
        upright_ = QImage();  // a large photo's turned copy is not kept for nothing
        return stored;
    }
    if (stored.cacheKey() != uprightSource_ || orientation != uprightOrientation_ || upright_.isNull()) {
        upright_ = UprightImage(stored, orientation);
        uprightSource_ = stored.cacheKey();
        uprightOrientation_ = orientation;
    }
    return upright_;
}

bool TPRJpegImage::HoldsPrintableGraphic() const { return picture_.IsJpeg() && !picture_.Empty(); }

std::string TPRJpegImage::FreeImageName(TPdfDoc& doc, const std::string& prefix) {
    // A fresh random number for every try.
    for (uint32_t tried = 0; tried < kNameCount; ++tried) {
        const std::string name = prefix + std::to_string(NextRandom(kNameCount));
        if (!doc.FindXObject(name)) return name;
    }
    throw Exception("image count over max value..");
}

void TPRJpegImage::SetAutoOrient(bool value) {
    if (value == autoOrient_) return;
    autoOrient_ = value;
    Invalidate();
}

int TPRJpegImage::Orientation() const {
    const TJpegImage* jpeg = picture_.Jpeg();
    return autoOrient_ && jpeg ? jpeg->Orientation() : kOrientationUpright;
}

int TPRJpegImage::NaturalWidth() const {
    return OrientationSwapsSides(Orientation()) ? picture_.Height() : picture_.Width();
}

int TPRJpegImage::NaturalHeight() const {
    return OrientationSwapsSides(Orientation()) ? picture_.Width() : picture_.Height();
}

void TPRJpegImage::DrawImageObject(TPdfCanvas& pdf, const std::string& name, const TPdfBox& box,
                                   const std::optional<TPdfBox>& clip) {
    const int orientation = Orientation();
    // Upright pictures keep the plain drawing, so their pages stay byte for byte as before.
    if (orientation == kOrientationUpright) {
        TPRImage::DrawImageObject(pdf, name, box, clip);
        return;
    }
    pdf.DrawXObjectMatrix(UprightMatrix(orientation, box), clip, name);
}

void TPRJpegImage::PrintItem(TPRCanvas& canvas, const TRect& rect) {
    if (!HoldsPrintableGraphic() || !Printable) return;
    PrintPicture(canvas, rect);
}

}  // namespace tovra
