#pragma once
// WebP pictures for the screen: libwebp scales while it decodes, so a large picture is never
// held at full size for a small preview.
#include <cstdint>
#include <span>

#include <QImage>

namespace tovra {

// A still picture as stored, at most maxSide on its long side (maxSide <= 0: full size).
// Fails with a DecodeError.
QImage DecodeWebpForScreen(std::span<const std::uint8_t> bytes, int maxSide);

}  // namespace tovra
