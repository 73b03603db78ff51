#pragma once
// Reading written PDFs back with the poppler and qpdf tools: page sizes, the images and their
// encodings, the uncompressed content, and pages rendered at one pixel per point.
#include <filesystem>
#include <string>
#include <vector>

#include <QImage>

namespace tovra::test {

struct TPageSize {
    double Width = 0;
    double Height = 0;
};

// Every page's size in points, in page order (pdfinfo).
std::vector<TPageSize> PageSizes(const std::filesystem::path& pdf);

struct TListedImage {
    int Page = 0;
    int Width = 0;
    int Height = 0;
    std::string Color;     // rgb, gray, cmyk, index
    std::string Encoding;  // image (Flate), jpeg ...
};

// The images the pages draw, in page order (pdfimages -list).
std::vector<TListedImage> ListImages(const std::filesystem::path& pdf);

// The file rewritten with every stream uncompressed (qpdf --qdf), for reading content streams.
std::string UncompressedPdf(const std::filesystem::path& pdf);

// Page `page` (1-based) rendered at 72 dpi, so one pixel is one point (pdftoppm).
QImage RenderPage(const std::filesystem::path& pdf, int page);

}  // namespace tovra::test
