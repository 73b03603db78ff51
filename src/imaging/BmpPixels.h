#pragma once
// Decoding of uncompressed BMP pixel data (all depths) and the output image it fills.
#include <cstdint>
#include <span>

#include <QImage>

#include "BmpHeader.h"

namespace tovra {

// An image of the right size and format for the header, filled with index 0 / black:
// Format_Indexed8 with the colour table for up to 8 bits per pixel, Format_RGB888 for
// 24 bits, Format_ARGB32 when the pixels carry alpha, Format_RGB32 otherwise.
QImage MakeBmpImage(const BmpHeader& header);

// Fails when the file is too short for the uncompressed rows the header announces;
// checked before any pixel memory is allocated.
void CheckBmpPlainDataPresent(const BmpHeader& header, std::size_t fileSize);

// Decodes uncompressed rows from the file into the image made by MakeBmpImage.
void DecodeBmpPlainPixels(const BmpHeader& header, std::span<const std::uint8_t> file, QImage& image);

// Fails when a palette picture uses an index beyond its colour table.
void CheckBmpIndices(const BmpHeader& header, const QImage& image);

// A picture with an alpha channel whose alpha is everywhere 0 or everywhere 255 is
// opaque (many writers fill the fourth byte carelessly): it becomes Format_RGB32.
void DropUselessAlpha(QImage& image);

}  // namespace tovra
