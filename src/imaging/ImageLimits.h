#pragma once
// The size limits every decoder enforces before it allocates pixels, so that a file
// with a lying or absurd header fails with a message instead of exhausting memory.
#include <cstdint>

namespace tovra {

// At most 256 megapixels per decoded picture ...
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{256} * 1024 * 1024;
// ... and at most 1 GiB of decoded pixel memory (a 256-megapixel 32-bit picture).
inline constexpr std::int64_t kMaxImageBytes = std::int64_t{1024} * 1024 * 1024;
// Image files larger than this are not read into memory at all.
inline constexpr std::int64_t kMaxImageFileBytes = std::int64_t{1024} * 1024 * 1024;
// Embedded colour profiles (a PNG's iCCP) larger than this once inflated are ignored.
inline constexpr std::int64_t kMaxColorProfileBytes = std::int64_t{16} * 1024 * 1024;
// JPEG pictures are decoded for the screen only, never larger than this on their long side.
inline constexpr int kJpegPreviewMaxSide = 4096;

}  // namespace tovra
