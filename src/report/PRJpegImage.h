#pragma once
// The JPEG image item: prints a JPEG picture whose data goes into the PDF unchanged. A photo
// stored turned or mirrored (EXIF orientation) is shown and printed upright; the turn is made by
// the drawing matrix, so the data still goes in byte for byte.
#include <QImage>

#include "report/PRImage.h"

namespace tovra {

class TPRJpegImage : public TPRImage {
public:
    using TPRImage::TPRImage;
    void SetPicture(const TPicture& picture) override;
    void PrintItem(TPRCanvas& canvas, const TRect& rect) override;
    std::string ClassName() const override { return "TPRJpegImage"; }
    // The size the picture was last decoded at for the screen (empty before the first paint).
    QSize ScreenImageSize() const { return screenImage_.size(); }

    // On by default; off shows and prints every picture as stored.
    bool AutoOrient() const { return autoOrient_; }
    void SetAutoOrient(bool value);
    // The orientation the item applies: the picture's EXIF orientation while AutoOrient is on
    // and the item holds a JPEG picture, else 1.
    int Orientation() const;
    int NaturalWidth() const override;
    int NaturalHeight() const override;

protected:
    // Decoded only as large as it is drawn (libjpeg scales by 1/2, 1/4 and 1/8 while decoding),
    // so a large photo is never decoded at full size for a small preview; kept until the picture
    // or the size drawn changes.
    QImage ScreenImage(const QSize& drawn) const override;
    bool HoldsPrintableGraphic() const override;
    const char* CreatorName() const override { return "Pdf-Jpeg"; }
    std::string FreeImageName(TPdfDoc& doc, const std::string& prefix) override;
    void DrawImageObject(TPdfCanvas& pdf, const std::string& name, const TPdfBox& box,
                         const std::optional<TPdfBox>& clip) override;

private:
    // What the screen image was decoded from: the graphic, its file and size, the longer side asked.
    struct TScreenKey {
        const TGraphic* Graphic = nullptr;
        std::string FileName;
        QSize PictureSize;
        int Side = 0;
        bool operator==(const TScreenKey&) const = default;
    };
    // The upright pixels of the screen image for the orientation applied.
    QImage UprightScreenImage(const QImage& stored) const;

    bool autoOrient_ = true;
    mutable TScreenKey screenKey_;
    mutable QImage screenImage_;
    // The upright pixels last painted, kept while the decoded picture and orientation stay.
    mutable QImage upright_;
    mutable qint64 uprightSource_ = 0;
    mutable int uprightOrientation_ = 0;
};

}  // namespace tovra
