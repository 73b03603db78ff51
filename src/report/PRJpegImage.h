#pragma once
// The JPEG image item: prints a JPEG picture whose data goes into the PDF unchanged. A photo
// stored turned or mirrored (EXIF orientation) is shown and printed upright (see TPRImage).
#include <QImage>

#include "report/PRImage.h"

namespace tovra {

class TPRJpegImage : public TPRImage {
public:
    using TPRImage::TPRImage;
    void SetPicture(const TPicture& picture) override;
    void PrintItem(TPRCanvas& canvas, const TRect& rect) override;
    std::string ClassName() const override { return "TPRJpegImage"; }

protected:
    // Decoded only as large as it is drawn (libjpeg scales by 1/2, 1/4 and 1/8 while decoding),
    // so a large photo is never decoded at full size for a small preview; kept until the picture
    // or the size drawn changes.
    QImage StoredScreenImage(const QSize& drawn) const override;
    bool HoldsPrintableGraphic() const override;
    std::string CreatorName() const override { return "Pdf-Jpeg"; }
    std::string FreeImageName(TPdfDoc& doc, const std::string& prefix) override;

private:
    // What the screen image was decoded from: the graphic, its file and size, the longer side asked.
    struct TScreenKey {
        const TGraphic* Graphic = nullptr;
        std::string FileName;
        QSize PictureSize;
        int Side = 0;
        bool operator==(const TScreenKey&) const = default;
    };

    mutable TScreenKey screenKey_;
    mutable QImage screenImage_;
};

}  // namespace tovra
