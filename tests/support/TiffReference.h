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

// The first strip of page `page` (from 0) as libtiff reads it raw; empty when it cannot.
std::string RawTiffStrip(const std::filesystem::path& path, int page);

}  // namespace tovra::test
