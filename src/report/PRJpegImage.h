#pragma once
// The JPEG image item: prints a JPEG picture whose data goes into the PDF unchanged. A photo
// stored turned or mirrored (EXIF orientation) is shown and printed upright; the turn is made by
// the drawing matrix, so the data still goes in byte for byte.
#include "report/PRImage.h"

namespace tovra {

class TPRJpegImage : public TPRImage {
public:
    using TPRImage::TPRImage;
    void SetPicture(const TPicture& picture) override;
    void PrintItem(TPRCanvas& canvas, const TRect& rect) override;
    std::string ClassName() const override { return "TPRJpegImage"; }

    // On by default; off shows and prints every picture as stored.
    bool AutoOrient() const { return autoOrient_; }
    void SetAutoOrient(bool value);
    // The orientation the item applies: the picture's EXIF orientation while AutoOrient is on
    // and the item holds a JPEG picture, else 1.
    int Orientation() const;
    int NaturalWidth() const override;
    int NaturalHeight() const override;

protected:
    bool HoldsPrintableGraphic() const override;
    const char* CreatorName() const override { return "Pdf-Jpeg"; }
    std::string FreeImageName(TPdfDoc& doc, const std::string& prefix) override;
    void DrawImageObject(TPdfCanvas& pdf, const std::string& name, const TPdfBox& box,
                         const std::optional<TPdfBox>& clip) override;
    QImage ImageToPaint() const override;

private:
    bool autoOrient_ = true;
    // The upright pixels last painted, kept while the decoded picture and orientation stay.
    mutable QImage upright_;
    mutable qint64 uprightSource_ = 0;
    mutable int uprightOrientation_ = 0;
};

}  // namespace tovra
