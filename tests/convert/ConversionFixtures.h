#pragma once
// Entries and image files for the conversion tests: Letter portrait with margins of 20 unless
// a test says otherwise, and small pictures written by the tests themselves.
#include <filesystem>
#include <string>

#include "cli/SampleImages.h"
#include "convert/PDFImage.h"

namespace tovra::test {

inline TPDFImage LetterEntry(const std::string& file, TImageKind kind, TSizeMethod sizing) {
    TPDFImage entry;
    entry.FileName = file;
    entry.ImageKind = kind;
    entry.SizeMethod = sizing;
    ApplyPaper(entry, "Letter", 612, 792, true);
    ApplyMargins(entry, 20, 20, 20, 20);
    return entry;
}

// A one-colour picture file of the kind its extension names (.bmp, .gif, .jpg).
inline std::string WriteSolid(const std::filesystem::path& path, int width, int height, QRgb colour) {
    const QImage image = samples::Solid(width, height, colour);
    const std::string ext = path.extension().string();
    if (ext == ".gif") {
        samples::SaveGif(image, path.string());
    } else if (ext == ".bmp") {
        samples::SaveBmp(image, path.string());
    } else {
        samples::SaveJpeg(image, path.string(), 95);
    }
    return path.string();
}

}  // namespace tovra::test
