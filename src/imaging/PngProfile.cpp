#include "PngProfile.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "ImageLimits.h"

namespace tovra {

namespace {

// A profile header is 128 bytes; its colour space sits at 16, the signature "acsp" at 36.
constexpr std::size_t kProfileHeaderBytes = 128;

// The inflated zlib stream, or "" when it is damaged, unfinished or over the cap.
std::string InflateCapped(std::span<const std::uint8_t> data) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[16384];
    int result = Z_OK;
    while (result == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        result = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
        if (out.size() > static_cast<std::size_t>(kMaxColorProfileBytes)) result = Z_BUF_ERROR;
    }
    inflateEnd(&z);
    return result == Z_STREAM_END ? out : std::string();
}

}  // namespace

std::string PngColorProfile(std::span<const std::uint8_t> chunkData, const TPngHeader& header) {
    // A name of 1 to 79 bytes, its terminating zero, the compression method (0), the stream.
    const auto nameEnd = std::find(chunkData.begin(), chunkData.begin() + std::min<std::size_t>(chunkData.size(), 80), 0);
    const auto nameLength = static_cast<std::size_t>(nameEnd - chunkData.begin());
    if (nameLength == 0 || nameLength >= 80 || nameLength + 2 > chunkData.size() || chunkData[nameLength + 1] != 0)
        return {};
    std::string profile = InflateCapped(chunkData.subspan(nameLength + 2));
    if (profile.size() < kProfileHeaderBytes || profile.compare(36, 4, "acsp") != 0) return {};
    const bool gray = header.ColorType == TPngColorType::Gray || header.ColorType == TPngColorType::GrayAlpha;
    const char* wanted = gray ? "GRAY" : "RGB ";
    if (profile.compare(16, 4, wanted) != 0) return {};
    return profile;
}

}  // namespace tovra
