#pragma once
// libtiff's own CCITT coding of a bilevel page, made in memory: the strip libtiff would write for
// the same rows, coded the way a given page is coded.
#include <cstdint>
#include <optional>
#include <string>

#include <tiffio.h>

#include "TiffPage.h"

namespace tovra {

// Codes `samples` (page.Height rows of page.RowBytes() bytes, 1 bit per pixel) with the page's
// compression, Group 3 options and vertical resolution (which sets how many 2-D rows libtiff lets
// follow a 1-D row), in one strip in fill order MSB first. nullopt when libtiff cannot code them
// or the coding would take more than maxBytes.
std::optional<std::string> EncodeFaxStrip(TIFF* original, const TTiffPage& page, const std::string& samples,
                                          std::uint64_t maxBytes);

}  // namespace tovra
