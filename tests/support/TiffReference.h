#pragma once
// TIFF pages decoded by Pillow (tests/imaging/tiff_reference.py), the independent reference
// the TIFF reader's tests and the command line's corpus test compare with.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QImage>

namespace tovra::test {

struct TReferencePicture {
    QImage Image;
    std::string Samples16;  // 16-bit grey pictures: the samples, big-endian
};

// Each page ("path", page from 0) as Pillow decodes it, in order; `dir` holds the files between.
std::vector<TReferencePicture> PillowTiffPages(const std::vector<std::pair<std::filesystem::path, int>>& pages,
                                               const std::filesystem::path& dir);

// A reference raster beside a corpus file (PBM, PGM or PPM): the picture, and 16-bit samples as
// they are (big-endian) when the raster has them.
TReferencePicture ReadReferencePnm(const std::filesystem::path& path);

// The text with every `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

// The first strip of page `page` (from 0) as libtiff reads it raw; empty when it cannot.
std::string RawTiffStrip(const std::filesystem::path& path, int page);

}  // namespace tovra::test
