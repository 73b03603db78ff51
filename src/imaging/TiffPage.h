#pragma once
// What one page of a TIFF file holds, and which way it is read: its CCITT data carried as it is,
// its samples taken as they are stored, or libtiff's RGBA conversion for what has no direct
// PDF form.
#include <cstdint>
#include <string>

#include "ImageRecord.h"
#include "TiffHandle.h"

namespace tovra {

enum class TTiffRoute : std::uint8_t {
    Fax,      // one strip of CCITT data: passed through where strict decoders read it as libtiff does
    Samples,  // grey, palette, RGB or CMYK samples of 1 to 16 bits, taken as stored
    Rgba,     // everything else, through libtiff's 8-bit RGBA conversion
};

struct TTiffPage {
    int Width = 0;
    int Height = 0;
    int Orientation = 1;
    std::uint16_t Compression = 1;
    std::uint16_t Photometric = 1;
    TTiffRoute Route = TTiffRoute::Rgba;

    // For Fax and Samples:
    int Bits = 8;              // per sample
    int SamplesPerPixel = 1;   // colour samples and extra samples
    int ColorSamples = 1;      // 1, 3 or 4
    int AlphaSample = -1;      // index of the alpha sample within a pixel, or -1
    bool AssociatedAlpha = false;  // colours premultiplied by alpha
    bool Separate = false;     // one plane per sample
    bool Tiled = false;
    TColorModel Color = TColorModel::Gray;
    bool MinIsWhite = false;   // grey where 0 is white
    std::string Palette;       // Indexed: red, green, blue bytes per entry

    // Bytes per row of colour samples as the record holds them.
    std::int64_t RowBytes() const {
        return (std::int64_t{Width} * ColorSamples * Bits + 7) / 8;
    }
};

// Describes the page the handle is on. For YCbCr JPEG pages it asks libtiff to convert to RGB.
// Throws DecodeError for a page without a size.
TTiffPage DescribeTiffPage(const TTiffHandle& handle);

}  // namespace tovra
