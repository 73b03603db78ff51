#pragma once
// TBitmap: a picture held as pixels in a QImage. Its pixel format is read from the image
// format; palette pictures of up to 8 bits per pixel are QImage::Format_Indexed8 with
// the file's colour table, 24-bit rows hold red, green, blue (QImage::Format_RGB888).
#include <cstdint>

#include <QImage>
#include <QList>

#include "Graphic.h"

namespace tovra {

class TPicture;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// The pixel format a QImage format stands for.
TPixelFormat PixelFormatOf(QImage::Format format);

class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    explicit TBitmap(QImage image) : image_(std::move(image)) {}

    TGraphicKind Kind() const override { return TGraphicKind::Bitmap; }
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    std::unique_ptr<TGraphic> Clone() const override;
    QImage ToImage() const override { return image_; }

    const QImage& Image() const { return image_; }
    void SetImage(QImage image) { image_ = std::move(image); }

    TPixelFormat PixelFormat() const { return PixelFormatOf(image_.format()); }
    // Converts the pixels: pf1bit -> Format_Mono, pf8bit -> Format_Indexed8 (palette
    // pictures keep their colours exactly), pf15bit -> Format_RGB555, pf16bit ->
    // Format_RGB16, pf24bit -> Format_RGB888, pf32bit -> Format_RGB32 or Format_ARGB32
    // when there is alpha. pf4bit, pfDevice and pfCustom have no QImage format and fail
    // with tovra::Exception, as does a conversion that runs out of memory.
    void SetPixelFormat(TPixelFormat format);

    // Row access, row 0 at the top; a row holds BytesPerLine() bytes (padded).
    const std::uint8_t* ScanLine(int row) const;
    std::uint8_t* ScanLine(int row);
    int BytesPerLine() const { return static_cast<int>(image_.bytesPerLine()); }

    // The colour table of a palette picture (empty for other formats).
    QList<QRgb> Palette() const { return image_.colorTable(); }

    // Copies another graphic's pixels: a bitmap's image, or a JPEG decoded at full size.
    void Assign(const TGraphic& source);
    // Copies the picture's graphic; an empty picture leaves an empty bitmap.
    void Assign(const TPicture& source);

private:
    QImage image_;
};

}  // namespace tovra
