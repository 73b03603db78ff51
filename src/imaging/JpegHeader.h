#pragma once
// Reads what the program needs to know of a JPEG file from its header alone
// (libjpeg's jpeg_read_header): size, colour components, the Adobe marker and the EXIF
// orientation.
// The compressed data is never decoded here.
#include <cstdint>
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
};

// Fails with tovra::Exception naming the file when the data is not a JPEG picture that
// can be embedded in a PDF unchanged: unreadable or truncated header, no end-of-image
// marker after the first scan, precision other than 8 bits, arithmetic coding, a
// component count other than 1, 3 or 4, or a side longer than 65500 pixels.
TJpegInfo ReadJpegHeader(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace tovra
