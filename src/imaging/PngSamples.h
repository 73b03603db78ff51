#pragma once
// A PNG decoded to unfiltered samples, for the pictures whose data cannot go into a PDF as
// it is (interlaced, or with an alpha channel).
#include <cstdint>
#include <span>
#include <string>

#include "PngChunks.h"

namespace tovra {

struct TPngSamples {
    // Rows from the top at the file's bit depth, 16-bit samples big-endian, alpha left out.
    std::string Color;
    // The alpha channel at the same depth; empty when the picture has none.
    std::string Alpha;
};

// Decodes the picture of a whole PNG file whose chunks and image data have been checked.
TPngSamples DecodePngSamples(std::span<const std::uint8_t> file, const TPngHeader& header);

}  // namespace tovra
