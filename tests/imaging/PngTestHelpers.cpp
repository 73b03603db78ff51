#include "PngTestHelpers.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <zlib.h>

namespace tovra::test {

namespace {

std::string BigEndian32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string DataOf(const TImageRecord& record) {
    if (record.Slices.empty()) return *record.Bytes;
    std::ifstream in(record.Source->Path, std::ios::binary);
    std::string data;
    for (const TFileSlice& slice : record.Slices) {
        std::string part(slice.Length, '\0');
        in.seekg(static_cast<std::streamoff>(slice.Offset));
        in.read(part.data(), static_cast<std::streamsize>(part.size()));
        data += part;
    }
    return data;
}

// The zlib stream inflated to exactly `size` bytes.
std::string Inflate(const std::string& data, std::size_t size) {
    std::string out(size, '\0');
    uLongf length = static_cast<uLongf>(size);
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
                   static_cast<uLong>(data.size())) != Z_OK || length != size)
        throw std::runtime_error("bad zlib stream");
    return out;
}

int Parm(const TImageRecord& record, const std::string& key) {
    for (const TDecodeParm& parm : record.DecodeParms)
        if (parm.Key == key) return parm.Value;
    throw std::runtime_error("no " + key);
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

TImageRecord AsSamples(const TImageRecord& record) {
    if (record.Encoding == TImageEncoding::Samples) return record;
    const int colors = Parm(record, "Colors"), bits = Parm(record, "BitsPerComponent");
    const std::size_t rowBytes = (static_cast<std::size_t>(Parm(record, "Columns")) * colors * bits + 7) / 8;
    const std::string filtered = Inflate(DataOf(record), (rowBytes + 1) * record.Height);
    const std::size_t bpp = std::max(1, colors * bits / 8);
    std::string samples(rowBytes * record.Height, '\0'), previous(rowBytes, '\0');
    auto* out = reinterpret_cast<unsigned char*>(samples.data());
    auto* up = reinterpret_cast<unsigned char*>(previous.data());
    for (int y = 0; y < record.Height; ++y) {
        const auto* in = reinterpret_cast<const unsigned char*>(filtered.data()) + y * (rowBytes + 1);
        unsigned char* row = out + y * rowBytes;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = up[i], c = i >= bpp ? up[i - bpp] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int predictors[5] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : (pb <= pc ? b : c)};
            row[i] = static_cast<unsigned char>(in[1 + i] + predictors[in[0]]);
        }
        std::copy(row, row + rowBytes, up);
    }
    TImageRecord result = record;
    result.Encoding = TImageEncoding::Samples;
    result.Slices.clear();
    result.DecodeParms.clear();
    result.Bytes = std::make_shared<const std::string>(std::move(samples));
    return result;
}

}  // namespace tovra::test
