#pragma once
// Image items: print a picture as an image object of the document, stretched to the item's
// rectangle or at its natural size clipped to it, and show it in the preview. A picture stored
// turned or mirrored (a JPEG's EXIF orientation, a TIFF's orientation tag) is shown and
// printed upright; the turn is made by the drawing matrix, so the picture's data stays as it is.
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include <QImage>

#include "imaging/Picture.h"
#include "pdf/PdfCanvas.h"
#include "report/PRItem.h"

namespace tovra {

class TPdfDoc;

// TPRImage shows and prints bitmaps (their pixels, "Pdf-Bitmap") and image records (PNG, TIFF,
// WebP, HEIF: "Pdf-Record"); TPRJpegImage JPEG pictures.
class TPRImage : public TPRItem {
public:
    explicit TPRImage(TComponent* owner = nullptr);
    // Copies a picture holding a bitmap or an image record (or nothing) into the item.
    virtual void SetPicture(const TPicture& picture);
    void PrintItem(TPRCanvas& canvas, const TRect& rect) override;
    std::string ClassName() const override { return "TPRImage"; }

    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool SharedImage = true;

    // On by default; off shows and prints every picture as stored.
    bool AutoOrient() const { return autoOrient_; }
    void SetAutoOrient(bool value);
    // The orientation the item applies: the picture's own (TGraphic::Orientation) while
    // AutoOrient is on, else 1.
    int Orientation() const;
    // The picture's size as shown, in points: its pixel size, with the sides swapped when the
    // item shows it turned by 90 degrees. Layout sizes the item from it.
    int NaturalWidth() const;
    int NaturalHeight() const;
    // The size of the stored pixels last made for the screen (empty before the first paint).
    QSize ScreenImageSize() const { return storedSize_; }

    // Fixes the seeds of the image-name generators of items made from now on (for reproducible
    // files): the n-th item made takes seed + n. Without it each item seeds from the clock.
    static void SetNameSeed(std::optional<uint32_t> seed);

protected:
    void Paint(QPainter& painter) const override;
    // The picture's pixels as stored, for drawing `drawn` device pixels large: a bitmap's own,
    // an image record decoded at about that size (its reader scales while decoding).
    virtual QImage StoredScreenImage(const QSize& drawn) const;
    // True when the picture holds a non-empty graphic of this item's kind.
    virtual bool HoldsPrintableGraphic() const;
    virtual std::string CreatorName() const;
    // A name no image object of the document has yet.
    virtual std::string FreeImageName(TPdfDoc& doc, const std::string& prefix);
    void PrintPicture(TPRCanvas& canvas, const TRect& rect);
    // Draws the registered image object into box (page space), clipped when a clip is given,
    // turned upright by the item's orientation.
    void DrawImageObject(TPdfCanvas& pdf, const std::string& name, const TPdfBox& box,
                         const std::optional<TPdfBox>& clip);
    uint32_t NextRandom(uint32_t range);

    TPicture picture_;

private:
    // The screen pixels upright, kept while the stored pixels and the orientation stay.
    QImage ScreenImage(const QSize& drawn) const;

    bool stretch_ = true;
    bool autoOrient_ = true;
    std::mt19937 random_;
    mutable QSize storedSize_;
    mutable QImage upright_;
    mutable qint64 uprightSource_ = 0;
    mutable int uprightOrientation_ = 0;
};

}  // namespace tovra
