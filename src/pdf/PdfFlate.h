#pragma once
#include <string>
#include <string_view>

namespace tovra {

// Compresses bytes into one zlib stream (RFC 1950): level 9, 15-bit window, memory level 8,
// default strategy. The same input always gives the same output.
std::string FlateCompress(std::string_view data);

// Compresses bytes into one zlib stream as well, with libdeflate at the given level (1 to 12):
// other bytes than FlateCompress, smaller or faster or both. The same input always gives the same
// output.
std::string CompactDeflate(std::string_view data, int level);

}  // namespace tovra
