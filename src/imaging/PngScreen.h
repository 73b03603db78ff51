#pragma once
// A PNG decoded for the screen.
#include <cstdint>
#include <span>

#include <QImage>

namespace tovra {

// The picture of a whole PNG file as 8-bit RGBA (transparency kept), as stored, scaled down
// to at most maxSide on its long side (maxSide <= 0: full size). A picture that is not
// interlaced is scaled while it is decoded, a row at a time, so a large one is never held
// at full size. Fails with a DecodeError.
QImage DecodePngForScreen(std::span<const std::uint8_t> file, int maxSide);

}  // namespace tovra
