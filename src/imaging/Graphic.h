#pragma once
// TGraphic: the base of every picture the program holds — a bitmap of pixels, a JPEG kept
// as its compressed bytes, or an image record (PNG, TIFF, WebP, HEIF). A TPicture owns one.
#include <memory>

#include <QImage>

namespace tovra {

enum class TGraphicKind { Bitmap, Jpeg, Record };

class TGraphic {
public:
    virtual ~TGraphic() = default;

    virtual TGraphicKind Kind() const = 0;
    bool IsBitmap() const { return Kind() == TGraphicKind::Bitmap; }
    bool IsJpeg() const { return Kind() == TGraphicKind::Jpeg; }
    bool IsRecord() const { return Kind() == TGraphicKind::Record; }

    // Natural size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // EXIF-style orientation 1..8 of the stored pixels; 1 (upright) unless the file says otherwise.
    virtual int Orientation() const { return 1; }

    // A deep copy of the same kind.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    // Pixels to paint on screen: a bitmap's own image, a JPEG decoded (scaled down when
    // large). Throws tovra::Exception when the pixels cannot be produced.
    virtual QImage ToImage() const = 0;

protected:
    TGraphic() = default;
    TGraphic(const TGraphic&) = default;
    TGraphic& operator=(const TGraphic&) = default;
};

}  // namespace tovra
