#include "PngRows.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <libdeflate.h>
#include <zlib.h>

#include "ImageErrors.h"

namespace tovra {

namespace {

// Deflate cannot shrink data by more than about 1032 to 1 (a 258-byte match in two bits).
constexpr std::uint64_t kMaxDeflateRatio = 1032;

struct TPass {
    std::uint32_t x0, y0, dx, dy;
};
constexpr std::array<TPass, 7> kAdam7 = {{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                          {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};
constexpr TPass kWhole = {0, 0, 1, 1};

std::uint32_t Count(std::uint32_t size, std::uint32_t start, std::uint32_t step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

std::uint64_t RowBytes(const TPngHeader& header, std::uint32_t pixels) {
    return (std::uint64_t{pixels} * header.Channels() * header.BitDepth + 7) / 8;
}

std::vector<TPass> PassesOf(const TPngHeader& header) {
    if (!header.Interlaced) return {kWhole};
    return {kAdam7.begin(), kAdam7.end()};
}

int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Undoes a row's filter in place; `previous` is the unfiltered row above (zeros for the first).
void Unfilter(int filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t length, std::size_t bpp) {
    switch (filter) {
        case 1:
            for (std::size_t i = bpp; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
            break;
        case 2:
            for (std::size_t i = 0; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
            break;
        case 3:
            for (std::size_t i = 0; i < length; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + ((left + previous[i]) >> 1));
            }
            break;
        case 4:
            for (std::size_t i = 0; i < length; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                const int upLeft = i >= bpp ? previous[i - bpp] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + PaethPredictor(left, previous[i], upLeft));
            }
            break;
        default: break;
    }
}

// Ends the zlib stream however the walk ends.
struct TInflater {
    z_stream stream{};
    TInflater() {
        if (inflateInit(&stream) != Z_OK) throw DecodeError("not enough memory to inflate the image data");
    }
    ~TInflater() { inflateEnd(&stream); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
};

class TRowReader {
public:
    TRowReader(std::span<const std::uint8_t> file, const TPngLayout& layout) : file_(file), layout_(layout) {}

    // Fills [out, out + length) with inflated bytes; false when the stream ended first.
    bool Fill(std::uint8_t* out, std::size_t length) {
        z_stream& z = inflater_.stream;
        std::size_t done = 0;
        while (done < length) {
            if (ended_) return false;
            if (z.avail_in == 0 && !NextSlice()) return false;
            z.next_out = out + done;
            z.avail_out = static_cast<uInt>(std::min<std::size_t>(length - done, 1u << 30));
            const uInt before = z.avail_out;
            const int result = inflate(&z, Z_NO_FLUSH);
            done += before - z.avail_out;
            if (result == Z_STREAM_END) {
                ended_ = true;
            } else if (result != Z_OK && !(result == Z_BUF_ERROR && z.avail_in == 0)) {
                Fail(result);
            }
        }
        return true;
    }

    // After the last row: the stream must end there, with nothing after it.
    void Finish() {
        std::uint8_t extra = 0;
        if (Fill(&extra, 1)) throw DecodeError("the image data holds more than the rows the header gives");
        if (!ended_) throw DecodeError("the image data is truncated (its zlib stream does not end)");
        // Empty chunks are not in the layout, so any slice left holds bytes.
        if (inflater_.stream.avail_in > 0 || next_ < layout_.ImageData.size()) throw DecodeError("the image data goes on after the end of its zlib stream");
    }

private:
    bool NextSlice() {
        if (next_ >= layout_.ImageData.size()) return false;
        const TPngSpan& slice = layout_.ImageData[next_++];
        inflater_.stream.next_in = const_cast<Bytef*>(file_.data() + slice.Offset);
        inflater_.stream.avail_in = static_cast<uInt>(slice.Length);
        return true;
    }

    [[noreturn]] void Fail(int result) const {
        const char* message = inflater_.stream.msg;
        if (result == Z_DATA_ERROR && message && std::string(message) == "incorrect data check")
            throw DecodeError("bad Adler-32 checksum of the image data");
        if (result == Z_MEM_ERROR) throw DecodeError("not enough memory to inflate the image data");
        throw DecodeError(std::string("damaged image data (") + (message ? message : "zlib error") + ")");
    }

    std::span<const std::uint8_t> file_;
    const TPngLayout& layout_;
    TInflater inflater_;
    std::size_t next_ = 0;
    bool ended_ = false;
};

// Whether zlib takes the stream's two header bytes: deflate, a window of at most 32 KiB, the
// check bits right, no preset dictionary.
bool ZlibHeaderIsSound(std::uint8_t cmf, std::uint8_t flags) {
    return ((cmf << 8) | flags) % 31 == 0 && (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && !(flags & 0x20);
}

// The check alone for a picture that is not interlaced, as fast as it goes: the deflate data
// inflated raw by zlib (which checks it as inflating the zlib stream does; zlib's inflater uses
// a 32 KiB window whatever the header says), many rows per call, and the Adler-32 of the rows
// computed by libdeflate, which is several times faster than zlib's. True when the data is
// sound; anything amiss gives false, for the row-by-row walk to find and name it.
bool WholeRowsAreSound(std::span<const std::uint8_t> file, const TPngLayout& layout) {
    const TPngHeader& header = layout.Header;
    const std::vector<TPngSpan>& slices = layout.ImageData;
    if (slices.empty() || slices[0].Length < 2) return false;
    const std::uint8_t* start = file.data() + slices[0].Offset;
    if (!ZlibHeaderIsSound(start[0], start[1])) return false;

    struct TRawInflater {
        z_stream stream{};
        bool ready = inflateInit2(&stream, -15) == Z_OK;
        ~TRawInflater() { inflateEnd(&stream); }
    } inflater;
    if (!inflater.ready) return false;
    z_stream& z = inflater.stream;
    z.next_in = const_cast<Bytef*>(start + 2);
    z.avail_in = static_cast<uInt>(slices[0].Length - 2);
    std::size_t next = 1;
    bool ended = false;
    // Inflates exactly `length` bytes into `out`; false when the stream ends or fails first.
    const auto fill = [&](std::uint8_t* out, std::size_t length) {
        z.next_out = out;
        z.avail_out = static_cast<uInt>(length);
        while (z.avail_out > 0) {
            if (ended) return false;
            if (z.avail_in == 0) {
                if (next >= slices.size()) return false;
                z.next_in = const_cast<Bytef*>(file.data() + slices[next].Offset);
                z.avail_in = static_cast<uInt>(slices[next++].Length);
            }
            const int result = inflate(&z, Z_NO_FLUSH);
            if (result == Z_STREAM_END) ended = true;
            else if (result != Z_OK && !(result == Z_BUF_ERROR && z.avail_in == 0)) return false;
        }
        return true;
    };

    const auto stride = static_cast<std::size_t>(RowBytes(header, header.Width) + 1);
    constexpr std::size_t kBufferBytes = 256 * 1024;
    const std::size_t rowsPerFill = std::max<std::size_t>(1, kBufferBytes / stride);
    std::vector<std::uint8_t> rows(rowsPerFill * stride);
    std::uint32_t adler = 1;
    for (std::uint32_t y = 0; y < header.Height; y += static_cast<std::uint32_t>(rowsPerFill)) {
        const std::size_t count = std::min<std::size_t>(rowsPerFill, header.Height - y);
        if (!fill(rows.data(), count * stride)) return false;
        for (std::size_t i = 0; i < count; ++i)
            if (rows[i * stride] > 4) return false;
        adler = libdeflate_adler32(adler, rows.data(), count * stride);
    }
    // The deflate data ends right after the rows, followed by their Adler-32 and nothing else.
    std::uint8_t extra = 0;
    if (fill(&extra, 1) || !ended) return false;
    std::string trailer(reinterpret_cast<const char*>(z.next_in), z.avail_in);
    for (; next < slices.size() && trailer.size() <= 4; ++next)
        trailer.append(reinterpret_cast<const char*>(file.data() + slices[next].Offset),
                       std::min<std::size_t>(slices[next].Length, 5));
    const std::string expected = {static_cast<char>(adler >> 24), static_cast<char>(adler >> 16),
                                  static_cast<char>(adler >> 8), static_cast<char>(adler)};
    return trailer == expected;
}

}  // namespace

std::uint64_t InflatedPngSize(const TPngHeader& header) {
    std::uint64_t total = 0;
    for (const TPass& pass : PassesOf(header)) {
        const std::uint32_t width = Count(header.Width, pass.x0, pass.dx);
        const std::uint32_t height = Count(header.Height, pass.y0, pass.dy);
        if (width > 0) total += std::uint64_t{height} * (1 + RowBytes(header, width));
    }
    return total;
}

void WalkPngRows(std::span<const std::uint8_t> file, const TPngLayout& layout,
                 const std::function<void(const TPngRow&)>& onRow) {
    const TPngHeader& header = layout.Header;
    std::uint64_t compressed = 0;
    for (const TPngSpan& slice : layout.ImageData) compressed += slice.Length;
    const std::uint64_t expected = InflatedPngSize(header);
    // Proven before any row buffer is made: the data can hold what the header promises.
    if (expected / kMaxDeflateRatio > compressed)
        throw DecodeError("the image data is truncated (" + std::to_string(compressed) + " bytes cannot hold " +
                          std::to_string(header.Width) + " x " + std::to_string(header.Height) + " pixels)");

    if (!onRow && !header.Interlaced && WholeRowsAreSound(file, layout)) return;

    const std::size_t bpp = static_cast<std::size_t>(std::max(1, header.Channels() * header.BitDepth / 8));
    const std::size_t widest = static_cast<std::size_t>(RowBytes(header, header.Width));
    std::vector<std::uint8_t> row(widest + 1), previous(onRow ? widest + 1 : 0);
    const std::vector<TPass> passes = PassesOf(header);
    std::uint64_t rowsTotal = 0, rowsDone = 0;
    for (const TPass& pass : passes)
        if (Count(header.Width, pass.x0, pass.dx) > 0) rowsTotal += Count(header.Height, pass.y0, pass.dy);
    TRowReader reader(file, layout);
    for (std::size_t p = 0; p < passes.size(); ++p) {
        const TPass& pass = passes[p];
        const std::uint32_t width = Count(header.Width, pass.x0, pass.dx);
        const std::uint32_t height = Count(header.Height, pass.y0, pass.dy);
        if (width == 0) continue;
        const std::size_t length = static_cast<std::size_t>(RowBytes(header, width));
        if (onRow) std::fill(previous.begin(), previous.begin() + static_cast<std::ptrdiff_t>(length + 1), 0);
        for (std::uint32_t y = 0; y < height; ++y, ++rowsDone) {
            if (!reader.Fill(row.data(), length + 1))
                throw DecodeError("the image data is truncated (it ends in row " + std::to_string(rowsDone + 1) +
                                  " of " + std::to_string(rowsTotal) + ")");
            const int filter = row[0];
            if (filter > 4)
                throw DecodeError("bad filter type " + std::to_string(filter) + " in row " + std::to_string(y) +
                                  (header.Interlaced ? " of pass " + std::to_string(p + 1) : std::string()));
            if (!onRow) continue;
            Unfilter(filter, row.data() + 1, previous.data() + 1, length, bpp);
            onRow(TPngRow{static_cast<int>(p), pass.y0 + y * pass.dy, pass.x0, pass.dx, width,
                          std::span<const std::uint8_t>(row.data() + 1, length)});
            row.swap(previous);
        }
    }
    reader.Finish();
}

}  // namespace tovra
