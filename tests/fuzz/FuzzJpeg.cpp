// Fuzz target: reading a JPEG picture's header must refuse any input with
// tovra::Exception or accept it; an accepted picture is also decoded small for the
// screen, as the preview does. The EXIF orientation reader must take any input and
// answer 1..8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include <QByteArray>

#include "JpegExif.h"
#include "JpegImage.h"
#include "common/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int orientation = tovra::ReadExifOrientation(std::span<const std::uint8_t>(data, size));
    if (orientation < 1 || orientation > 8) std::abort();
    try {
        const tovra::TJpegImage jpeg = tovra::ReadJpeg(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), "fuzz input");
        (void)jpeg.Decode(64);
    } catch (const tovra::Exception&) {
    }
    return 0;
}
