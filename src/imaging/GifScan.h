#pragma once
// A walk over the block structure of a GIF file that finds its first image without
// decoding anything, so that the decoder can refuse a huge frame before giflib
// allocates it and can hand giflib only the first image of an animation.
#include <cstddef>
#include <cstdint>
#include <span>

namespace tovra {

struct GifFirstImage {
    bool found = false;       // an image descriptor was reached
    bool complete = false;    // its data ends properly; end is then valid
    std::size_t end = 0;      // offset just past the first image's data
    int width = 0;
    int height = 0;
};

// Never fails: a structure it cannot follow simply yields found/complete = false and
// leaves the verdict to giflib.
GifFirstImage ScanGifFirstImage(std::span<const std::uint8_t> bytes);

}  // namespace tovra
