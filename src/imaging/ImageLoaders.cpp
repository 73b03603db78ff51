#include "ImageLoaders.h"

#include <cstdint>
#include <span>

#include "BmpReader.h"
#include "FileBytes.h"
#include "GifReader.h"
#include "ImageErrors.h"

namespace tovra {

namespace {

std::span<const std::uint8_t> BytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

}  // namespace

std::unique_ptr<TBitmap> LoadBmpFile(const std::string& path) {
    const QByteArray data = ReadImageFileBytes(path, "BMP");
    return std::make_unique<TBitmap>(DecodeBmp(BytesOf(data), path));
}

std::unique_ptr<TBitmap> LoadGifFile(const std::string& path) {
    const QByteArray data = ReadImageFileBytes(path, "GIF");
    return std::make_unique<TBitmap>(DecodeGif(BytesOf(data), path));
}

TPicture LoadPictureFile(const std::string& path) {
    QByteArray data = ReadImageFileBytes(path, "image");
    if (data.startsWith("BM") || data.startsWith("BA"))
        return TPicture(std::make_unique<TBitmap>(DecodeBmp(BytesOf(data), path)));
    if (data.startsWith("GIF8"))
        return TPicture(std::make_unique<TBitmap>(DecodeGif(BytesOf(data), path)));
    if (data.startsWith("\xFF\xD8"))
        return TPicture(std::make_unique<TJpegImage>(ReadJpeg(std::move(data), path)));
    ThrowImageError("image", path, "not a BMP, GIF or JPEG file");
}

}  // namespace tovra
