// Fuzz target: the GIF decoder (giflib plus our rendering) must refuse any input with
// tovra::Exception or decode it, never crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "GifReader.h"
#include "common/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const QImage image = tovra::DecodeGif(std::span<const std::uint8_t>(data, size), "fuzz input");
        (void)image;
    } catch (const tovra::Exception&) {
    }
    return 0;
}
