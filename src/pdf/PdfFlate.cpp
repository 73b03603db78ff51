#include "pdf/PdfFlate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <limits>
#include <memory>
#include <new>

#include "common/Exceptions.h"

namespace tovra {

namespace {
struct DeflateStream {
    z_stream z{};
    bool open = false;
    ~DeflateStream() {
        if (open) deflateEnd(&z);
    }
};

[[noreturn]] void Fail(const char* operation, int code) {
    throw Exception(std::string("zlib ") + operation + " failed: " + zError(code));
}
struct CompressorFree {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// One compressor per level and thread, made on first use: its tables are large and cost more to
// set up than a small picture takes to compress.
libdeflate_compressor& CompactCompressor(int level) {
    constexpr int kLevels = 12;
    if (level < 1 || level > kLevels) throw EPdfInvalidValue("no libdeflate level " + std::to_string(level));
    thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> compressors[kLevels];
    auto& compressor = compressors[level - 1];
    if (!compressor) {
        compressor.reset(libdeflate_alloc_compressor(level));
        if (!compressor) throw std::bad_alloc();
    }
    return *compressor;
}
}  // namespace

std::string CompactDeflate(std::string_view data, int level) {
    libdeflate_compressor& compressor = CompactCompressor(level);
    // Room for the worst case, left uninitialised: only the pages the output reaches are ever
    // touched, where a zero-filled string would write the whole bound (about the input's size).
    const std::size_t bound = libdeflate_zlib_compress_bound(&compressor, data.size());
    const std::unique_ptr<char[]> room(new char[bound]);
    const std::size_t size = libdeflate_zlib_compress(&compressor, data.data(), data.size(), room.get(), bound);
    // The bound always leaves room; no room would mean a broken library.
    if (size == 0) throw Exception("libdeflate failed to compress " + std::to_string(data.size()) + " bytes");
    return std::string(room.get(), size);
}

std::string FlateCompress(std::string_view data) {
    DeflateStream stream;
    int code = deflateInit2(&stream.z, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (code != Z_OK) Fail("deflateInit2", code);
    stream.open = true;

    std::string out;
    out.resize(deflateBound(&stream.z, static_cast<uLong>(std::min<size_t>(data.size(), std::numeric_limits<uLong>::max()))));
    stream.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    size_t inputLeft = data.size();
    size_t produced = 0;
    do {
        // zlib counts in 32-bit units; feed very large buffers in pieces.
        const uInt chunk = static_cast<uInt>(std::min<size_t>(inputLeft, 1u << 30));
        stream.z.avail_in = chunk;
        inputLeft -= chunk;
        const int flush = inputLeft == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            if (produced == out.size()) out.resize(out.size() * 2 + 64);
            const uInt room = static_cast<uInt>(std::min<size_t>(out.size() - produced, 1u << 30));
            stream.z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
            stream.z.avail_out = room;
            code = deflate(&stream.z, flush);
            if (code == Z_STREAM_ERROR) Fail("deflate", code);
            produced += room - stream.z.avail_out;
        } while (stream.z.avail_out == 0 || (flush == Z_FINISH && code != Z_STREAM_END));
    } while (inputLeft > 0);
    out.resize(produced);
    return out;
}

}  // namespace tovra
