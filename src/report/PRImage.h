#pragma once
// Image items: print a picture as an image object of the document, stretched to the item's
// rectangle or at its natural size clipped to it, and show it in the preview.
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "imaging/Picture.h"
#include "pdf/PdfCanvas.h"
#include "report/PRItem.h"

namespace tovra {

class TPdfDoc;

class TPRImage : public TPRItem {
public:
    explicit TPRImage(TComponent* owner = nullptr);
    // Copies a picture holding a bitmap (or nothing) into the item.
    virtual void SetPicture(const TPicture& picture);
    void PrintItem(TPRCanvas& canvas, const TRect& rect) override;
    std::string ClassName() const override { return "TPRImage"; }

    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool SharedImage = true;
    // The picture's size as shown, in points: its pixel size, except where an item shows it
    // turned. Layout sizes the item from it.
    virtual int NaturalWidth() const { return picture_.Width(); }
    virtual int NaturalHeight() const { return picture_.Height(); }

    // Fixes the seeds of the image-name generators of items made from now on (for reproducible
    // files): the n-th item made takes seed + n. Without it each item seeds from the clock.
    static void SetNameSeed(std::optional<uint32_t> seed);

protected:
    void Paint(QPainter& painter) const override;
    // The picture's pixels for the screen, as they are to be shown, to be drawn `drawn` device
    // pixels large.
    virtual QImage ScreenImage(const QSize& drawn) const;
    // True when the picture holds a non-empty graphic of this item's kind.
    virtual bool HoldsPrintableGraphic() const;
    virtual const char* CreatorName() const { return "Pdf-Bitmap"; }
    // A name no image object of the document has yet.
    virtual std::string FreeImageName(TPdfDoc& doc, const std::string& prefix);
    void PrintPicture(TPRCanvas& canvas, const TRect& rect);
    // Draws the registered image object into box (page space), clipped when a clip is given.
    virtual void DrawImageObject(TPdfCanvas& pdf, const std::string& name, const TPdfBox& box,
                                 const std::optional<TPdfBox>& clip);
    uint32_t NextRandom(uint32_t range);

    TPicture picture_;

private:
    bool stretch_ = true;
    std::mt19937 random_;
};

}  // namespace tovra
