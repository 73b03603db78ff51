#pragma once
// Decoding of run-length encoded BMP pixel data: RLE8, RLE4 and the OS/2 RLE24.
// Pixels the data skips (delta codes, early end of line or of bitmap) keep palette
// index 0, or black in 24-bit pictures. Runs that would leave the picture, and data
// that ends before the picture does, are errors.
#include <cstdint>
#include <span>

#include <QImage>

#include "BmpHeader.h"

namespace tovra {

void DecodeBmpRlePixels(const BmpHeader& header, std::span<const std::uint8_t> file, QImage& image);

}  // namespace tovra
