#pragma once
// The EXIF orientation of a JPEG file: how the stored pixels must be turned or mirrored to be
// upright. Read from the file's leading bytes (the APP1 "Exif" segment before the first scan)
// without decoding anything. Never fails: whatever cannot be read counts as upright.
#include <cstdint>
#include <span>

namespace tovra {

// The orientation values of the EXIF tag 0x0112, as the stored picture is to be shown:
// 1 as stored, 2 mirrored left-right, 3 turned 180 degrees, 4 mirrored top-bottom,
// 5 mirrored along the main diagonal, 6 turned 90 degrees clockwise, 7 mirrored along the
// other diagonal, 8 turned 90 degrees anticlockwise.
inline constexpr int kOrientationUpright = 1;

// 1..8 from the first EXIF block of a JPEG file; 1 when the data is no JPEG, has no EXIF block
// before the first scan, the block is truncated or inconsistent, or the value is outside 1..8.
int ReadExifOrientation(std::span<const std::uint8_t> jpegBytes);

// The same from a TIFF structure alone (an EXIF block without its "Exif\0\0" prefix):
// big- ("MM") or little-endian ("II") byte order, the tag looked up in the first directory.
int TiffOrientation(std::span<const std::uint8_t> tiff);

// True for the four orientations that turn the picture by 90 degrees: the upright picture's
// width is the stored height and its height the stored width.
constexpr bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

}  // namespace tovra
