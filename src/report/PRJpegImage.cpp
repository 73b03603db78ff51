#include "report/PRJpegImage.h"

#include "common/Exceptions.h"
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
