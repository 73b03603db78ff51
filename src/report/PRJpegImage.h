#pragma once
// The JPEG image item: prints a JPEG picture whose data goes into the PDF unchanged.
#include "report/PRImage.h"

namespace tovra {

class TPRJpegImage : public TPRImage {
public:
    using TPRImage::TPRImage;
    void SetPicture(const TPicture& picture) override;
    void PrintItem(TPRCanvas& canvas, const TRect& rect) override;
    std::string ClassName() const override { return "TPRJpegImage"; }

protected:
    bool HoldsPrintableGraphic() const override;
    const char* CreatorName() const override { return "Pdf-Jpeg"; }
    std::string FreeImageName(TPdfDoc& doc, const std::string& prefix) override;
};

}  // namespace tovra
