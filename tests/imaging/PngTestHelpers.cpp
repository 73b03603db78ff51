#include "PngTestHelpers.h"

#include <cstdint>

#include <zlib.h>

namespace tovra::test {

namespace {

std::string BigEndian32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

}  // namespace

std::string PngChunk(const std::string& type, const std::string& data, bool badCrc) {
    const std::string body = type + data;
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    if (badCrc) crc ^= 1;
    return BigEndian32(static_cast<std::uint32_t>(data.size())) + body + BigEndian32(static_cast<std::uint32_t>(crc));
}

std::string PngFile(const std::vector<std::string>& chunks) {
    std::string file = "\x89PNG\r\n\x1a\n";
    for (const std::string& chunk : chunks) file += chunk;
    return file;
}

std::string PngHeader(int width, int height, int depth, int colorType, bool interlaced) {
    return PngChunk("IHDR", BigEndian32(static_cast<std::uint32_t>(width)) + BigEndian32(static_cast<std::uint32_t>(height)) +
                                std::string{static_cast<char>(depth), static_cast<char>(colorType), 0, 0,
                                            static_cast<char>(interlaced ? 1 : 0)});
}

std::string Zlib(const std::string& bytes) {
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(length, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(bytes.data()),
             static_cast<uLong>(bytes.size()));
    out.resize(length);
    return out;
}

}  // namespace tovra::test
