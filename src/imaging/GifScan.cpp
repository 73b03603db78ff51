#include "GifScan.h"

namespace tovra {

namespace {

// Cursor that reports running off the end instead of reading past it.
struct Cursor {
    std::span<const std::uint8_t> bytes;
    std::size_t pos = 0;

    bool Has(std::size_t n) const { return n <= bytes.size() - pos; }
    std::uint8_t U8() { return bytes[pos++]; }
    int U16() {
        const int v = bytes[pos] | (bytes[pos + 1] << 8);
        pos += 2;
        return v;
    }
    bool SkipColorTable(std::uint8_t packed) {
        if (!(packed & 0x80)) return true;
        const std::size_t size = 3u << ((packed & 7) + 1);
        if (!Has(size)) return false;
        pos += size;
        return true;
    }
    bool SkipSubBlocks() {
        for (;;) {
            if (!Has(1)) return false;
            const std::uint8_t length = U8();
            if (length == 0) return true;
            if (!Has(length)) return false;
            pos += length;
        }
    }
};

}  // namespace

GifFirstImage ScanGifFirstImage(std::span<const std::uint8_t> bytes) {
    GifFirstImage result;
    Cursor c{bytes};
    if (!c.Has(13)) return result;
    c.pos = 10;  // signature and screen size
    const std::uint8_t screenPacked = c.U8();
    c.pos += 2;  // background colour, aspect ratio
    if (!c.SkipColorTable(screenPacked)) return result;
    for (;;) {
        if (!c.Has(1)) return result;
        const std::uint8_t introducer = c.U8();
        if (introducer == 0x21) {  // extension: label, then sub-blocks
            if (!c.Has(1)) return result;
            c.U8();
            if (!c.SkipSubBlocks()) return result;
        } else if (introducer == 0x2C) {
            if (!c.Has(9)) return result;
            c.pos += 4;  // left, top
            result.width = c.U16();
            result.height = c.U16();
            result.found = true;
            const std::uint8_t packed = c.U8();
            if (!c.SkipColorTable(packed) || !c.Has(1)) return result;
            c.U8();  // LZW minimum code size
            if (!c.SkipSubBlocks()) return result;
            result.complete = true;
            result.end = c.pos;
            return result;
        } else {
            return result;  // trailer or garbage: no image here
        }
    }
}

}  // namespace tovra
