#pragma once
// One inflate pass over a PNG's image data: the zlib stream (Adler-32 included) must hold
// exactly the rows the header promises, each starting with a filter type 0 to 4. The rows
// can be handed on, unfiltered, one at a time; the whole picture is never held.
#include <cstdint>
#include <functional>
#include <span>

#include "PngChunks.h"

namespace tovra {

// A row of one pass (the whole picture is one pass when it is not interlaced).
struct TPngRow {
    int Pass = 0;            // 0..6 for Adam7, else 0
    std::uint32_t Y = 0;     // the row in the picture
    std::uint32_t FirstX = 0;  // the picture column of the row's first pixel ...
    std::uint32_t StepX = 1;   // ... and the column step between its pixels
    std::uint32_t Pixels = 0;  // pixels in the row
    std::span<const std::uint8_t> Bytes;  // unfiltered samples (no filter byte)
};

// The number of bytes the image data inflates to: the filter byte and the samples of every
// row of every pass.
std::uint64_t InflatedPngSize(const TPngHeader& header);

// Checks the image data of `file` as laid out; with `onRow`, also unfilters each row and
// hands it on in file order. Fails with a DecodeError naming the problem (bad Adler-32, a
// truncated or overlong stream, a bad filter type, a stream too short to hold the rows).
void WalkPngRows(std::span<const std::uint8_t> file, const TPngLayout& layout,
                 const std::function<void(const TPngRow&)>& onRow = {});

}  // namespace tovra
