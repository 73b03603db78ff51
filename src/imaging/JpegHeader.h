#pragma once
// Reads what the program needs to know of a JPEG file from its header alone
// (libjpeg's jpeg_read_header): size, colour components, the Adobe marker and the EXIF
// orientation.
// The compressed data is never decoded here.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tovra {

struct TJpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;         // 1 grey, 3 colour, 4 CMYK/YCCK
    bool adobeMarker = false;   // an Adobe APP14 marker is present (CMYK then stored inverted)
    bool progressive = false;
    int orientation = 1;        // EXIF orientation 1..8 (1 also when absent or unreadable)
    // A baseline file without Huffman tables (a Motion-JPEG frame): where the standard tables
    // go, before the first scan (see JpegHuffmanTables.h).
    std::optional<std::size_t> missingHuffmanTablesAt{};
};

// Fails with tovra::Exception naming the file when the data is not a JPEG picture that
// can be embedded in a PDF unchanged: unreadable or truncated header, no end-of-image
// marker after the first scan, precision other than 8 bits, arithmetic coding, a
// component count other than 1, 3 or 4, a side longer than 65500 pixels, or fewer bits in the
// whole file than the picture's size needs at the least.
TJpegInfo ReadJpegHeader(std::span<const std::uint8_t> bytes, const std::string& name);

// The header's facts and the offset where the first scan's compressed data begins.
struct TJpegHeaderStart {
    TJpegInfo info;
    std::size_t scanStart = 0;
};

// Reads the header from the first bytes of a JPEG file of fileSize bytes, refusing what
// ReadJpegHeader refuses except a missing end-of-image marker, which is not looked for here.
// When the bytes are not the whole file and the header does not fit in them, the result is
// empty and the caller reads more of the file.
std::optional<TJpegHeaderStart> ReadJpegHeaderStart(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                                                    const std::string& name);

// Whether an end-of-image marker (FF D9) begins at or after offset `from`. Searched from the
// end, where it normally is, so a complete file costs a few bytes rather than all of them.
// Entropy-coded data never holds FF D9 (a data byte FF is followed by 00), so this is true
// exactly when a marker follows the first scan's header.
bool HasJpegEndMarkerFrom(std::span<const std::uint8_t> bytes, std::size_t from);

}  // namespace tovra
