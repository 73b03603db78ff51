#pragma once
// Helpers of the imaging tests: building small BMP and GIF files in memory, comparing
// pictures, and reaching the corpus.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include <QImage>

namespace tovra::test {

using Bytes = std::vector<std::uint8_t>;

inline std::span<const std::uint8_t> Span(const Bytes& bytes) { return {bytes.data(), bytes.size()}; }

// Writes a BMP file: file header, a 40-byte (or the given size) info header with the
// given fields, optional masks, palette and pixel data. Offsets and sizes are computed
// unless set explicitly.
struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks{};       // written right after a 40-byte header, or inside larger ones
    std::vector<std::uint32_t> palette{};     // 0x00RRGGBB; 3 bytes each for a 12-byte header
    Bytes pixels{};                          // the pixel data exactly as stored
    std::int64_t fileSizeField = -1;         // -1: the real size
    std::int64_t dataOffsetField = -1;       // -1: right after the palette
};
Bytes MakeBmp(const BmpSpec& spec);

// Bottom-up rows of 24-bit pixels (0x00RRGGBB given top row first), padded to 4 bytes.
Bytes Rows24(int width, const std::vector<std::uint32_t>& topDownPixels);

// A GIF written with giflib: one or more frames on a screen.
struct GifFrame {
    int left = 0, top = 0, width = 1, height = 1;
    std::vector<std::uint8_t> pixels{};      // width * height indices
    std::vector<std::uint32_t> localPalette{}; // empty: use the global one
    int transparentIndex = -1;
    bool interlaced = false;
};
Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<std::uint32_t>& globalPalette,
              const std::vector<GifFrame>& frames);

// Number of pixels that differ between two pictures compared as ARGB32 (after
// premultiplying, so the colour of fully transparent pixels does not count);
// -1 when the sizes differ. maxDelta receives the largest channel difference.
int CountDifferentPixels(const QImage& a, const QImage& b, int* maxDelta = nullptr);

// The picture composited onto white (how a transparent pixel shows on paper).
QImage OnWhite(const QImage& image);

// A corpus sub-folder, or an empty path when the corpus is absent.
std::filesystem::path CorpusPath(const std::string& relative);

// Bytes of a file.
Bytes FileBytes(const std::filesystem::path& path);

// Encodes a width x height picture of one colour (grey, or colour) with cjpeg and the given
// options (for example "-progressive") into out. False when cjpeg is not installed.
bool CjpegFlatPicture(int width, int height, bool grey, const std::string& options, const std::filesystem::path& out);

}  // namespace tovra::test

// Skips the test when the corpus is not there.
#define REQUIRE_CORPUS()                                                            \
    do {                                                                            \
        if (::tovra::test::CorpusPath("").empty()) GTEST_SKIP() << "corpus absent"; \
    } while (0)
