#include "PngChunks.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <zlib.h>

#include "ImageErrors.h"

namespace tovra {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Chunk lengths above this are not allowed by the format.
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFFu;

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

struct TChunk {
    std::string Type;
    std::size_t Offset = 0;  // of the length field
    std::size_t DataOffset = 0;
    std::uint32_t Length = 0;
    bool Critical() const { return (Type[0] & 0x20) == 0; }
};

std::string At(const TChunk& chunk) { return "the " + chunk.Type + " chunk at offset " + std::to_string(chunk.Offset); }

// The chunk starting at `offset`, its bounds and type checked.
TChunk ReadChunk(std::span<const std::uint8_t> file, std::size_t offset) {
    if (file.size() - offset < 12)
        throw DecodeError("the file is truncated (a chunk at offset " + std::to_string(offset) + " is cut off)");
    const std::uint8_t* p = file.data() + offset;
    TChunk chunk;
    chunk.Offset = offset;
    chunk.DataOffset = offset + 8;
    chunk.Length = BigEndian32(p);
    if (!std::all_of(p + 4, p + 8, IsLetter))
        throw DecodeError("damaged chunk at offset " + std::to_string(offset) + " (its type is not four letters)");
    chunk.Type.assign(reinterpret_cast<const char*>(p + 4), 4);
    if (chunk.Length > kMaxChunkLength)
        throw DecodeError(At(chunk) + " claims " + std::to_string(chunk.Length) + " bytes, more than a chunk may hold");
    if (chunk.Length > file.size() - offset - 12)
        throw DecodeError("the file is truncated (" + At(chunk) + " claims " + std::to_string(chunk.Length) +
                          " bytes; the file has " + std::to_string(file.size() - chunk.DataOffset - 4) + " after it)");
    return chunk;
}

bool CrcMatches(std::span<const std::uint8_t> file, const TChunk& chunk) {
    const std::uint8_t* typeAndData = file.data() + chunk.Offset + 4;
    const uLong crc = crc32_z(crc32_z(0L, Z_NULL, 0), typeAndData, std::size_t{chunk.Length} + 4);
    return crc == BigEndian32(typeAndData + 4 + chunk.Length);
}

bool ValidDepth(TPngColorType type, int depth) {
    switch (type) {
        case TPngColorType::Gray: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case TPngColorType::Palette: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case TPngColorType::RGB:
        case TPngColorType::GrayAlpha:
        case TPngColorType::RGBA: return depth == 8 || depth == 16;
    }
    return false;
}

TPngHeader ReadHeader(std::span<const std::uint8_t> data) {
    if (data.size() != 13) throw DecodeError("the IHDR chunk has " + std::to_string(data.size()) + " bytes, not 13");
    TPngHeader header;
    header.Width = BigEndian32(data.data());
    header.Height = BigEndian32(data.data() + 4);
    header.BitDepth = data[8];
    const int colorType = data[9];
    if (header.Width == 0 || header.Height == 0 || header.Width > kMaxChunkLength || header.Height > kMaxChunkLength)
        throw DecodeError("bad picture size in the header (" + std::to_string(header.Width) + " x " +
                          std::to_string(header.Height) + ")");
    if (colorType != 0 && colorType != 2 && colorType != 3 && colorType != 4 && colorType != 6)
        throw DecodeError("unknown colour type " + std::to_string(colorType) + " in the header");
    header.ColorType = static_cast<TPngColorType>(colorType);
    if (!ValidDepth(header.ColorType, header.BitDepth))
        throw DecodeError("bit depth " + std::to_string(header.BitDepth) + " is not allowed for colour type " +
                          std::to_string(colorType));
    if (data[10] != 0) throw DecodeError("unknown compression method " + std::to_string(data[10]));
    if (data[11] != 0) throw DecodeError("unknown filter method " + std::to_string(data[11]));
    if (data[12] > 1) throw DecodeError("unknown interlace method " + std::to_string(data[12]));
    header.Interlaced = data[12] == 1;
    return header;
}

// The state of the walk: what has been seen so far.
class TChunkWalk {
public:
    explicit TChunkWalk(std::span<const std::uint8_t> file) : file_(file) {}

    TPngLayout Run() {
        if (file_.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), file_.begin()))
            throw DecodeError("not a PNG file (no PNG signature)");
        std::size_t offset = kSignature.size();
        for (;;) {
            const TChunk chunk = ReadChunk(file_, offset);
            offset = chunk.DataOffset + chunk.Length + 4;
            if (!CrcMatches(file_, chunk)) {
                if (chunk.Critical()) throw DecodeError("bad CRC in " + At(chunk));
                continue;  // a damaged ancillary chunk is left out
            }
            if (!seenHeader_ && chunk.Type != "IHDR") throw DecodeError("the file does not start with an IHDR chunk");
            if (chunk.Type == "IEND") break;
            Take(chunk);
            if (offset == file_.size()) throw DecodeError("the file is truncated (it ends without an IEND chunk)");
        }
        if (!seenImageData_) throw DecodeError("the file holds no image data (IDAT chunk)");
        if (layout_.Header.ColorType == TPngColorType::Palette && !seenPalette_)
            throw DecodeError("the palette (PLTE chunk) is missing");
        if (layout_.ImageData.empty()) throw DecodeError("the image data (IDAT chunks) is empty");
        return std::move(layout_);
    }

private:
    std::span<const std::uint8_t> Data(const TChunk& chunk) const { return file_.subspan(chunk.DataOffset, chunk.Length); }

    void Take(const TChunk& chunk) {
        const bool afterImageData = seenImageData_;
        if (chunk.Type == "IDAT") {
            if (imageDataEnded_) throw DecodeError(At(chunk) + " is separated from the other IDAT chunks");
            seenImageData_ = true;
            if (chunk.Length > 0) layout_.ImageData.push_back({chunk.DataOffset, chunk.Length});
            return;
        }
        imageDataEnded_ = seenImageData_;
        if (chunk.Type == "IHDR") {
            if (seenHeader_) throw DecodeError(At(chunk) + " repeats the header");
            layout_.Header = ReadHeader(Data(chunk));
            seenHeader_ = true;
        } else if (chunk.Type == "PLTE") {
            if (seenPalette_) throw DecodeError(At(chunk) + " is a second palette");
            if (afterImageData) throw DecodeError(At(chunk) + " comes after the image data");
            seenPalette_ = true;
            TakePalette(chunk);
        } else if (chunk.Type == "tRNS") {
            if (seenTransparency_) throw DecodeError(At(chunk) + " repeats the transparency");
            if (afterImageData) throw DecodeError(At(chunk) + " comes after the image data");
            seenTransparency_ = true;
            TakeTransparency(chunk);
        } else if (chunk.Type == "iCCP") {
            if (seenProfile_) throw DecodeError(At(chunk) + " is a second colour profile");
            if (afterImageData || seenPalette_) throw DecodeError(At(chunk) + " comes after the palette or the image data");
            seenProfile_ = true;
            layout_.ColorProfile = TPngSpan{chunk.DataOffset, chunk.Length};
        } else if (chunk.Critical()) {
            throw DecodeError(At(chunk) + " is a critical chunk this reader does not know");
        }
    }

    void TakePalette(const TChunk& chunk) {
        const TPngHeader& header = layout_.Header;
        if (header.ColorType != TPngColorType::Palette) return;  // a suggested palette only
        const std::size_t entries = chunk.Length / 3;
        if (chunk.Length % 3 != 0 || entries == 0 || entries > 256)
            throw DecodeError(At(chunk) + " has " + std::to_string(chunk.Length) + " bytes, not 1 to 256 colours");
        if (entries > (std::size_t{1} << header.BitDepth))
            throw DecodeError(At(chunk) + " has " + std::to_string(entries) + " colours, more than " +
                              std::to_string(header.BitDepth) + "-bit indices reach");
        const auto data = Data(chunk);
        layout_.Palette.assign(data.begin(), data.end());
    }

    void TakeTransparency(const TChunk& chunk) {
        const TPngHeader& header = layout_.Header;
        std::size_t expected = 0;
        switch (header.ColorType) {
            case TPngColorType::Gray: expected = 2; break;
            case TPngColorType::RGB: expected = 6; break;
            case TPngColorType::Palette:
                if (!seenPalette_) throw DecodeError(At(chunk) + " comes before the palette");
                if (chunk.Length == 0) return;
                if (chunk.Length > 256) throw DecodeError(At(chunk) + " has more than 256 entries");
                layout_.Transparency = TPngSpan{chunk.DataOffset, chunk.Length};
                return;
            default: return;  // pictures with an alpha channel take no tRNS
        }
        if (chunk.Length != expected)
            throw DecodeError(At(chunk) + " has " + std::to_string(chunk.Length) + " bytes, not " +
                              std::to_string(expected));
        layout_.Transparency = TPngSpan{chunk.DataOffset, chunk.Length};
    }

    std::span<const std::uint8_t> file_;
    TPngLayout layout_;
    bool seenHeader_ = false;
    bool seenPalette_ = false;
    bool seenTransparency_ = false;
    bool seenProfile_ = false;
    bool seenImageData_ = false;
    bool imageDataEnded_ = false;
};

}  // namespace

int TPngHeader::Channels() const {
    switch (ColorType) {
        case TPngColorType::RGB: return 3;
        case TPngColorType::GrayAlpha: return 2;
        case TPngColorType::RGBA: return 4;
        default: return 1;
    }
}

TPngLayout WalkPngChunks(std::span<const std::uint8_t> file) { return TChunkWalk(file).Run(); }

}  // namespace tovra
