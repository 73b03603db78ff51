#include "TiffReference.h"

#include <tiffio.h>

#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"

namespace tovra::test {

std::vector<TReferencePicture> PillowTiffPages(const std::vector<std::pair<std::filesystem::path, int>>& pages,
                                               const std::filesystem::path& dir) {
    std::string list;
    for (const auto& [path, page] : pages) list += path.string() + "#" + std::to_string(page) + "\n";
    WriteFileBytes(dir / "pages.txt", list);
    const CommandResult run = RunCommand("/usr/bin/python3 " + ShellQuote(TOVRA_TIFF_REFERENCE) + " " +
                                         ShellQuote((dir / "pages.txt").string()) + " " + ShellQuote(dir.string()));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::vector<TReferencePicture> references(pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string raw = ReadFileBytes(dir / (std::to_string(i) + ".raw"));
        std::istringstream header(raw);
        std::string kind;
        int width = 0, height = 0;
        header >> kind >> width >> height;
        const auto* data = reinterpret_cast<const uchar*>(raw.data()) + raw.find('\n') + 1;
        const auto size = raw.size() - static_cast<std::size_t>(data - reinterpret_cast<const uchar*>(raw.data()));
        TReferencePicture& reference = references[i];
        if (kind == "G16" && size == std::size_t(width) * height * 2) {
            reference.Samples16.assign(reinterpret_cast<const char*>(data), size);
            reference.Image = QImage(width, height, QImage::Format_Grayscale8);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) reference.Image.scanLine(y)[x] = data[(std::size_t(y) * width + x) * 2];
        } else if (kind == "1" && size == std::size_t((width + 7) / 8) * height) {
            reference.Image = QImage(data, width, height, (width + 7) / 8, QImage::Format_Mono).copy();
            reference.Image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        } else if (kind == "RGBA" && size == std::size_t(width) * height * 4) {
            reference.Image = QImage(data, width, height, width * 4, QImage::Format_RGBA8888).copy();
        }
    }
    return references;
}

std::string RawTiffStrip(const std::filesystem::path& path, int page) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return {};
    std::string bytes;
    if (TIFFSetDirectory(tiff, static_cast<tdir_t>(page))) {
        bytes.resize(static_cast<std::size_t>(TIFFGetStrileByteCount(tiff, 0)));
        if (TIFFReadRawStrip(tiff, 0, bytes.data(), static_cast<tmsize_t>(bytes.size())) < 0) bytes.clear();
    }
    TIFFClose(tiff);
    return bytes;
}

TReferencePicture ReadReferencePnm(const std::filesystem::path& path) {
    TReferencePicture reference{QImage(QString::fromStdString(path.string())), {}};
    const std::string file = ReadFileBytes(path);
    std::istringstream header(file);
    std::string magic;
    int width = 0, height = 0, maximum = 1;
    header >> magic >> width >> height;
    if (magic != "P4") header >> maximum;
    if (maximum > 255) reference.Samples16 = file.substr(static_cast<std::size_t>(header.tellg()) + 1);
    return reference;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace tovra::test
