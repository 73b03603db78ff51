#include "ImageErrors.h"

#include "ImageLimits.h"
#include "common/Exceptions.h"

namespace tovra {

std::string ImageErrorMessage(const std::string& kind, const std::string& name, const std::string& reason) {
    return "Cannot read " + kind + " file \"" + name + "\": " + reason;
}

void ThrowImageError(const std::string& kind, const std::string& name, const std::string& reason) {
    throw Exception(ImageErrorMessage(kind, name, reason));
}

void CheckDecodedSize(std::int64_t width, std::int64_t height, int bytesPerPixel) {
    if (width <= 0 || height <= 0)
        throw DecodeError("the picture has no pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    // Both factors are below 2^32, so neither product can overflow 64 bits.
    if (width > 0xFFFFFFFFLL || height > 0xFFFFFFFFLL || width * height > kMaxImagePixels)
        throw DecodeError("the picture is too large (" + size + " pixels; the limit is " +
                          std::to_string(kMaxImagePixels / (1024 * 1024)) + " megapixels)");
    if (width * height * bytesPerPixel > kMaxImageBytes)
        throw DecodeError("the picture is too large (" + size + " pixels need more than " +
                          std::to_string(kMaxImageBytes / (1024 * 1024)) + " MB)");
}

}  // namespace tovra
