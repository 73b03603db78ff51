#include "Bitmap.h"

#include <string>

#include "JpegImage.h"
#include "Picture.h"
#include "common/Exceptions.h"

namespace tovra {

TPixelFormat PixelFormatOf(QImage::Format format) {
    switch (format) {
    case QImage::Format_Invalid:
        return pfDevice;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return pf1bit;
    case QImage::Format_Indexed8:
        return pf8bit;
    case QImage::Format_RGB555:
        return pf15bit;
    case QImage::Format_RGB16:
        return pf16bit;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return pf24bit;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return pf32bit;
    default:
        return pfCustom;
    }
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    return std::make_unique<TBitmap>(*this);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (image_.isNull()) return;
    QImage::Format target = QImage::Format_Invalid;
    switch (format) {
    case pf1bit: target = QImage::Format_Mono; break;
    case pf8bit: target = QImage::Format_Indexed8; break;
    case pf15bit: target = QImage::Format_RGB555; break;
    case pf16bit: target = QImage::Format_RGB16; break;
    case pf24bit: target = QImage::Format_RGB888; break;
    case pf32bit: target = image_.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32; break;
    case pfDevice:
    case pf4bit:
    case pfCustom:
        throw Exception("TBitmap: pixel format " + std::to_string(static_cast<int>(format)) + " is not supported");
    }
    if (image_.format() == target) return;
    if (format == pf1bit && image_.format() == QImage::Format_MonoLSB) return;
    QImage converted = image_.convertToFormat(target);
    if (converted.isNull()) throw Exception("TBitmap: not enough memory to convert the picture");
    image_ = std::move(converted);
}

const std::uint8_t* TBitmap::ScanLine(int row) const {
    return image_.constScanLine(row);
}

std::uint8_t* TBitmap::ScanLine(int row) {
    return image_.scanLine(row);
}

void TBitmap::Assign(const TGraphic& source) {
    if (&source == this) return;
    if (source.IsBitmap())
        image_ = static_cast<const TBitmap&>(source).image_;
    else if (source.IsJpeg())
        image_ = static_cast<const TJpegImage&>(source).Decode(0);
    else
        image_ = source.ToImage();
}

void TBitmap::Assign(const TPicture& source) {
    if (source.Graphic())
        Assign(*source.Graphic());
    else
        image_ = QImage();
}

}  // namespace tovra
