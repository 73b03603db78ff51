#include "report/PRJpegImage.h"

#include <algorithm>

#include "common/Exceptions.h"
#include "imaging/JpegImage.h"
#include "pdf/PdfDoc.h"

namespace tovra {

namespace {
constexpr uint32_t kNameCount = 65535;
}

void TPRJpegImage::SetPicture(const TPicture& picture) {
    if (picture.Graphic() && !picture.IsJpeg()) throw Exception("only jpeg image is allowed.");
    picture_ = picture;
    Invalidate();
}

QImage TPRJpegImage::StoredScreenImage(const QSize& drawn) const {
    const auto* jpeg = dynamic_cast<const TJpegImage*>(picture_.Graphic());
    if (!jpeg) return TPRImage::StoredScreenImage(drawn);
    // The longer side is the same turned or not, so the decode size does not depend on the turn.
    const int side = std::max(drawn.width(), drawn.height());
    if (side <= 0) return QImage();
    const TScreenKey key{jpeg, jpeg->FileName(), QSize(jpeg->Width(), jpeg->Height()), side};
    if (!(key == screenKey_) || screenImage_.isNull()) {
        screenImage_ = QImage();
        screenImage_ = jpeg->Decode(side);
        screenKey_ = key;
    }
    return screenImage_;
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

void TPRJpegImage::PrintItem(TPRCanvas& canvas, const TRect& rect) {
    if (!HoldsPrintableGraphic() || !Printable) return;
    PrintPicture(canvas, rect);
}

}  // namespace tovra
