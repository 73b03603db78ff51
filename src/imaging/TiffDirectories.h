#pragma once
// The walk along a TIFF file's chain of image directories (IFDs): one directory per page.
// Sub-IFDs (reduced-resolution copies, thumbnails) hang off a page and are not pages.
#include <cstdint>
#include <vector>

#include "TiffSource.h"

namespace tovra {

// More pages than this and the file is refused (the walk reads a few bytes per page).
inline constexpr std::size_t kMaxTiffPages = 65536;

// The file offsets of the pages' directories, in order. A chain that leads outside the file or
// into a directory that cannot hold a picture ends there; the first directory must be sound.
// Throws DecodeError for a file that is not a TIFF file, whose first directory is broken,
// whose chain loops back on itself, or that has more than kMaxTiffPages pages.
std::vector<std::uint64_t> PageDirectoryOffsets(const TTiffSource& source);

}  // namespace tovra
