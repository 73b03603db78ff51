#include "BmpHeader.h"

#include <algorithm>
#include <string>

#include "ByteReader.h"
#include "ImageErrors.h"

namespace tovra {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

// Compression codes of the info header. OS/2 2.x headers give 3 and 4 other meanings.
enum : std::uint32_t {
    kBiRgb = 0,
    kBiRle8 = 1,
    kBiRle4 = 2,
    kBiBitfields = 3,      // OS/2: Huffman 1D
    kBiJpeg = 4,           // OS/2: RLE24
    kBiPng = 5,
    kBiAlphaBitfields = 6,
    kBiCmyk = 11,
    kBiCmykRle8 = 12,
    kBiCmykRle4 = 13,
};

std::string Str(std::int64_t value) { return std::to_string(value); }

// The fields of any info header, zero where the header is too short to hold them.
struct InfoFields {
    std::uint32_t size = 0;
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bitsPerPixel = 0, compression = 0, imageSize = 0;
    std::int32_t xDensity = 0, yDensity = 0;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
    int masksInHeader = 0;                 // how many of them the header holds
    bool os2v1 = false, os2v2 = false;
};

InfoFields ReadInfoFields(ByteReader& in) {
    InfoFields f;
    f.size = in.U32();
    switch (f.size) {
    case 12: case 16: case 40: case 52: case 56: case 64: case 108: case 124: break;
    default: throw DecodeError("unsupported BMP header size " + Str(f.size));
    }
    if (in.Remaining() < f.size - 4) throw DecodeError("the file is truncated inside its header");
    if (f.size == 12) {
        f.os2v1 = true;
        f.width = in.U16();
        f.height = in.U16();
        f.planes = in.U16();
        f.bitsPerPixel = in.U16();
        return f;
    }
    f.os2v2 = f.size == 16 || f.size == 64;
    f.width = in.I32();
    f.height = in.I32();
    f.planes = in.U16();
    f.bitsPerPixel = in.U16();
    if (f.size == 16) return f;
    f.compression = in.U32();
    f.imageSize = in.U32();
    f.xDensity = in.I32();
    f.yDensity = in.I32();
    f.colorsUsed = in.U32();
    in.U32();  // important colours
    if (f.size >= 52 && !f.os2v2) {
        f.masksInHeader = f.size >= 56 ? 4 : 3;
        for (int i = 0; i < f.masksInHeader; ++i) f.masks[i] = in.U32();
    }
    return f;
}

BmpEncoding EncodingOf(const InfoFields& f, bool& bitfields, bool& alphaBitfields) {
    bitfields = alphaBitfields = false;
    switch (f.compression) {
    case kBiRgb: return BmpEncoding::Plain;
    case kBiRle8: return BmpEncoding::Rle8;
    case kBiRle4: return BmpEncoding::Rle4;
    case kBiBitfields:
        if (f.os2v2) throw DecodeError("OS/2 Huffman-compressed bitmaps are not supported");
        bitfields = true;
        return BmpEncoding::Plain;
    case kBiJpeg:
        // OS/2 2.x calls this RLE24; a 24-bit picture cannot hold embedded JPEG data.
        if (f.os2v2 || f.bitsPerPixel == 24) return BmpEncoding::Rle24;
        throw DecodeError("BMP files with embedded JPEG data are not supported");
    case kBiPng: throw DecodeError("BMP files with embedded PNG data are not supported");
    case kBiAlphaBitfields:
        bitfields = alphaBitfields = true;
        return BmpEncoding::Plain;
    case kBiCmyk: case kBiCmykRle8: case kBiCmykRle4:
        throw DecodeError("CMYK bitmaps are not supported");
    default: throw DecodeError("unknown BMP compression " + Str(f.compression));
    }
}

void CheckEncodingFitsDepth(BmpEncoding encoding, bool bitfields, int bpp) {
    switch (bpp) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: case 64: break;
    default: throw DecodeError("unsupported number of bits per pixel (" + Str(bpp) + ")");
    }
    if ((encoding == BmpEncoding::Rle8 && bpp != 8) || (encoding == BmpEncoding::Rle4 && bpp != 4) ||
        (encoding == BmpEncoding::Rle24 && bpp != 24))
        throw DecodeError("the compression does not match " + Str(bpp) + " bits per pixel");
    if (bitfields && bpp != 16 && bpp != 32)
        throw DecodeError("bit-field masks need 16 or 32 bits per pixel, not " + Str(bpp));
}

void CheckDensities(std::int32_t x, std::int32_t y) {
    if (x <= 0 || y <= 0) return;  // absent
    const std::int64_t hi = std::max(x, y), lo = std::min(x, y);
    if (hi > lo * 1000)
        throw DecodeError("implausible pixel density (" + Str(x) + " x " + Str(y) + " pixels per metre)");
}

void SetChannels(BmpHeader& h, std::array<std::uint32_t, 4> masks, bool useAlpha) {
    const char* names[] = {"red", "green", "blue", "alpha"};
    const int bpp = h.bitsPerPixel;
    const std::uint64_t allowed = (std::uint64_t{1} << bpp) - 1;
    if (!useAlpha) masks[3] = 0;
    std::uint32_t seen = 0;
    for (int i = 0; i < 4; ++i) {
        if (i < 3 && masks[i] == 0) throw DecodeError(std::string("the ") + names[i] + " bit-field mask is empty");
        if (!BmpChannel::Contiguous(masks[i]))
            throw DecodeError(std::string("the ") + names[i] + " bit-field mask has gaps");
        if (masks[i] & ~allowed)
            throw DecodeError(std::string("the ") + names[i] + " bit-field mask lies outside the " + Str(bpp) +
                              "-bit pixel");
        if (masks[i] & seen) throw DecodeError("the bit-field masks overlap");
        seen |= masks[i];
    }
    h.red = BmpChannel(masks[0]);
    h.green = BmpChannel(masks[1]);
    h.blue = BmpChannel(masks[2]);
    h.alpha = BmpChannel(masks[3]);
}

}  // namespace

BmpHeader ReadBmpHeader(std::span<const std::uint8_t> file) {
    ByteReader in(file);
    if (file.size() < 2) throw DecodeError("the file is too short to be a BMP file");
    const std::uint8_t b0 = in.U8(), b1 = in.U8();
    if (b0 == 'B' && b1 == 'A') throw DecodeError("OS/2 bitmap arrays are not supported");
    if (b0 != 'B' || b1 != 'M') throw DecodeError("not a BMP file (no \"BM\" signature)");
    if (file.size() < kFileHeaderSize + 4) throw DecodeError("the file is truncated inside its header");
    const std::uint32_t fileSize = in.U32();
    in.U32();  // reserved; OS/2 cursor hot spot
    const std::uint32_t offBits = in.U32();
    const InfoFields f = ReadInfoFields(in);
    in.Seek(kFileHeaderSize + f.size);

    BmpHeader h;
    if (f.planes != 1) throw DecodeError("the header gives " + Str(f.planes) + " colour planes (must be 1)");
    if (f.width <= 0) throw DecodeError("invalid width " + Str(f.width));
    if (f.height == 0) throw DecodeError("invalid height 0");
    const std::int64_t height = f.height < 0 ? -f.height : f.height;
    bool bitfields = false, alphaBitfields = false;
    h.encoding = EncodingOf(f, bitfields, alphaBitfields);
    h.bitsPerPixel = static_cast<int>(f.bitsPerPixel);
    CheckEncodingFitsDepth(h.encoding, bitfields, h.bitsPerPixel);
    h.topDown = f.height < 0;
    if (h.topDown && h.encoding != BmpEncoding::Plain)
        throw DecodeError("a compressed bitmap cannot be stored top-down");
    const int outputBytes = h.bitsPerPixel <= 8 ? 1 : h.bitsPerPixel == 24 ? 3 : 4;
    CheckDecodedSize(f.width, height, outputBytes);
    h.width = static_cast<int>(f.width);
    h.height = static_cast<int>(height);
    CheckDensities(f.xDensity, f.yDensity);

    if (fileSize > file.size())
        throw DecodeError("the file header gives a size of " + Str(fileSize) + " bytes but the file has " +
                          Str(static_cast<std::int64_t>(file.size())) + " (truncated file or corrupt header)");
    if (f.imageSize > file.size())
        throw DecodeError("the header gives " + Str(f.imageSize) + " bytes of pixel data but the whole file has " +
                          Str(static_cast<std::int64_t>(file.size())));

    // Masks not held by the info header follow it (40-byte header with bit fields).
    std::array<std::uint32_t, 4> masks = f.masks;
    if (bitfields)
        for (int i = f.masksInHeader; i < (alphaBitfields ? 4 : 3); ++i) masks[i] = in.U32();
    if (bitfields)
        SetChannels(h, masks, alphaBitfields || f.masksInHeader == 4);
    else if (h.bitsPerPixel == 16)
        SetChannels(h, {0x7C00, 0x03E0, 0x001F, 0}, false);
    else if (h.bitsPerPixel == 32)
        SetChannels(h, {0xFF0000, 0x00FF00, 0x0000FF, 0}, false);  // the top byte is unused
    const std::size_t paletteStart = in.Position();

    if (offBits != 0 && offBits < paletteStart)
        throw DecodeError("the pixel data offset " + Str(offBits) + " points into the headers");
    if (offBits > file.size())
        throw DecodeError("the pixel data offset " + Str(offBits) + " lies beyond the end of the file");

    std::size_t paletteEnd = paletteStart;
    if (h.bitsPerPixel <= 8) {
        const std::size_t entrySize = f.os2v1 ? 3 : 4;
        const std::size_t room = ((offBits ? offBits : file.size()) - paletteStart) / entrySize;
        const std::size_t maxIndexCount = std::size_t{1} << h.bitsPerPixel;
        std::size_t count;
        if (f.colorsUsed != 0) {
            if (f.colorsUsed > room)
                throw DecodeError("the header gives " + Str(f.colorsUsed) + " palette entries but there is room for " +
                                  Str(static_cast<std::int64_t>(room)));
            count = f.colorsUsed;
        } else {
            // Without a count the table is full-sized, or shorter when the pixel data
            // starts earlier (seen in OS/2 files).
            count = std::min(maxIndexCount, room);
        }
        if (count == 0) throw DecodeError("the picture has no colour table");
        const std::size_t kept = std::min(count, maxIndexCount);
        h.palette.reserve(static_cast<qsizetype>(kept));
        for (std::size_t i = 0; i < kept; ++i) {
            const auto entry = in.Take(entrySize);
            h.palette.append(qRgb(entry[2], entry[1], entry[0]));
        }
        paletteEnd = paletteStart + count * entrySize;
    }
    h.dataOffset = offBits ? offBits : paletteEnd;
    if (h.dataOffset > file.size()) throw DecodeError("the file is truncated before its pixel data");
    return h;
}

}  // namespace tovra
