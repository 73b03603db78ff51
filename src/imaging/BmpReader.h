#pragma once
// Our own BMP decoder (Qt's BMP plugin widens 5- and 6-bit channels by shifting,
// misreads wide masks and short OS/2 palettes and accepts truncated files).
#include <cstdint>
#include <span>
#include <string>

#include <QImage>

namespace tovra {

// Decodes a whole BMP file. 1-, 2-, 4- and 8-bit pictures become Format_Indexed8 with
// the file's colour table, 24-bit ones Format_RGB888, the others Format_RGB32, or
// Format_ARGB32 when they carry real alpha. Throws tovra::Exception whose message names
// the file (name) and the problem.
QImage DecodeBmp(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace tovra
