#pragma once
#include <string>
#include <string_view>

namespace tovra {

// Compresses bytes into one zlib stream (RFC 1950): level 9, 15-bit window, memory level 8,
// default strategy. The same input always gives the same output.
std::string FlateCompress(std::string_view data);

// Compresses bytes into one zlib stream as well, with libdeflate at kCompactDeflateLevel: about
// as small as FlateCompress in well under half its time (on PNG-predicted photos, and on palette
// pictures; the levels above 9 parse near-optimally and take longer than zlib's level 9 does).
// Other bytes than FlateCompress; the same input always gives the same output.
inline constexpr int kCompactDeflateLevel = 9;
std::string CompactDeflate(std::string_view data);

}  // namespace tovra
