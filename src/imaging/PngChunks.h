#pragma once
// The chunk walk of a PNG file: the signature, every chunk's bounds and CRC, the header's
// values and the places of the chunks the reader uses. What it returns says where the image
// data lies in the file, so that it can be carried into a PDF as it is.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tovra {

enum class TPngColorType : std::uint8_t { Gray = 0, RGB = 2, Palette = 3, GrayAlpha = 4, RGBA = 6 };

struct TPngHeader {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    int BitDepth = 8;
    TPngColorType ColorType = TPngColorType::Gray;
    bool Interlaced = false;

    // Samples per pixel as stored (alpha included).
    int Channels() const;
    bool HasAlpha() const { return ColorType == TPngColorType::GrayAlpha || ColorType == TPngColorType::RGBA; }
};

// A range of the file's bytes.
struct TPngSpan {
    std::size_t Offset = 0;
    std::size_t Length = 0;
};

struct TPngLayout {
    TPngHeader Header;
    // PLTE entries as red, green, blue bytes (palette pictures; a suggested palette of an
    // RGB picture is not kept).
    std::vector<std::uint8_t> Palette;
    // The tRNS chunk's data, when there is one.
    std::optional<TPngSpan> Transparency;
    // The iCCP chunk's data, when there is one with a good CRC.
    std::optional<TPngSpan> ColorProfile;
    // The data of every IDAT chunk, in order (empty chunks left out).
    std::vector<TPngSpan> ImageData;
};

// Walks the chunks of a whole PNG file. Fails with a DecodeError naming the problem when the
// file breaks the format where it matters: no signature, a chunk running past the end, a bad
// CRC in a critical chunk, an unknown critical chunk, bad header values, a missing or bad
// palette, chunks the reader uses given twice or out of place, no image data, no IEND.
// An ancillary chunk with a bad CRC is ignored.
TPngLayout WalkPngChunks(std::span<const std::uint8_t> file);

}  // namespace tovra
