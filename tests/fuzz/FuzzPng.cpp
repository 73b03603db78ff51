// Fuzz target: the PNG reader must refuse any input with tovra::Exception or describe it,
// and its screen decoder must decode what the reader accepted, never crashing, hanging or
// reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "PngReader.h"
#include "common/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto image = tovra::DecodePngBytes(std::span<const std::uint8_t>(data, size), "fuzz input");
        (void)image->ScreenImage(64);
    } catch (const tovra::Exception&) {
    }
    return 0;
}
