#pragma once
// Image records from decoded 8-bit RGB or RGBA pixels, as codec libraries hand them out:
// the colour becomes RGB (or Gray) samples, the alpha channel a soft mask.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ImageRecord.h"

namespace tovra {

struct TInterleavedPixels {
    const std::uint8_t* Data = nullptr;
    std::ptrdiff_t Stride = 0;  // bytes from one row to the next
    int Width = 0;
    int Height = 0;
    bool HasAlpha = false;       // RGBA, else RGB
    bool Premultiplied = false;  // colour already multiplied by alpha
};

struct TSamplesChoice {
    // Gray samples when every pixel has red = green = blue (the same picture, a third of the size).
    bool GrayWhenNeutral = false;
};

// An 8-bit Samples record holding these bytes (rows from the top, no padding).
std::shared_ptr<TImageRecord> MakeSamplesRecord(int width, int height, TColorModel color, std::string bytes);

// An 8-bit Samples record of the pixels. The alpha channel becomes a Gray SoftMask record,
// unless every pixel is opaque: then there is none. Premultiplied colour is divided back.
std::shared_ptr<TImageRecord> RecordFromInterleaved(const TInterleavedPixels& pixels, TSamplesChoice choice = {});

}  // namespace tovra
