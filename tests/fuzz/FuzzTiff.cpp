// Fuzz target: the TIFF reader must refuse any input with tovra::Exception or decode it, never
// crash, hang or read out of bounds. The first pages are decoded both as records and for the
// screen (reduced, as the preview asks).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "TiffReader.h"
#include "common/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const int pages = std::min(tovra::CountTiffPages(bytes), 3);
    for (int page = 0; page < pages; ++page) {
        try {
            (void)tovra::DecodeTiff(bytes, "fuzz input", page);
        } catch (const tovra::Exception&) {
        }
        try {
            (void)tovra::DecodeTiffScreen(bytes, "fuzz input", page, 64);
        } catch (const tovra::Exception&) {
        }
    }
    return 0;
}
