#pragma once
// The colour profile of a PNG's iCCP chunk.
#include <cstdint>
#include <span>
#include <string>

#include "PngChunks.h"

namespace tovra {

// The ICC profile the iCCP chunk's data holds, inflated, when it is readable, no larger than
// kMaxColorProfileBytes, and describes the picture's colours (a GRAY profile for grey
// pictures, an RGB one for colour and palette pictures); otherwise "" (the chunk is ignored).
std::string PngColorProfile(std::span<const std::uint8_t> chunkData, const TPngHeader& header);

}  // namespace tovra
