#pragma once
// The headers of a BMP file, read and checked: everything the pixel decoders need, so
// that they can trust sizes and offsets. Accepts the OS/2 1.x header (12 bytes), the
// OS/2 2.x header (16 or 64 bytes) and the Windows headers of 40, 52, 56, 108 and 124
// bytes. Problems are raised as DecodeError.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include <QList>
#include <QRgb>

#include "BmpBitfields.h"

namespace tovra {

enum class BmpEncoding { Plain, Rle4, Rle8, Rle24 };

struct BmpHeader {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;       // 1, 2, 4, 8, 16, 24, 32 or 64
    BmpEncoding encoding = BmpEncoding::Plain;
    // Channels of 16- and 32-bit pixels (defaults filled in when the file has no masks).
    BmpChannel red, green, blue, alpha;
    // Colour table of pictures with up to 8 bits per pixel: the file's entries, at most
    // 2^bitsPerPixel of them (more could never be referred to).
    QList<QRgb> palette;
    std::size_t dataOffset = 0;  // where the pixel data starts in the file
};

BmpHeader ReadBmpHeader(std::span<const std::uint8_t> file);

}  // namespace tovra
