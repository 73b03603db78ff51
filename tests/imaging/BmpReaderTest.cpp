// The BMP reader on files built in the test: decoding rules that the corpus does not
// pin down, and damaged headers and data.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>

#include "BmpReader.h"
#include "ImageLoaders.h"
#include "ImageTestHelpers.h"
#include "TestSupport.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

std::string DecodeError(const Bytes& file) {
    try {
        DecodeBmp(Span(file), "x.bmp");
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

::testing::AssertionResult FailsWith(const Bytes& file, const std::string& reason) {
    const std::string message = DecodeError(file);
    if (message.empty()) return ::testing::AssertionFailure() << "accepted";
    if (message.rfind("Cannot read BMP file \"x.bmp\": ", 0) != 0 || message.find(reason) == std::string::npos)
        return ::testing::AssertionFailure() << message;
    return ::testing::AssertionSuccess();
}

Bytes Row16(std::initializer_list<std::uint16_t> values) {
    Bytes row;
    for (std::uint16_t v : values) {
        row.push_back(static_cast<std::uint8_t>(v));
        row.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    while (row.size() % 4) row.push_back(0);
    return row;
}

TEST(BmpReader, ScalesBitFieldChannelsExactlyInsteadOfShifting) {
    // 5-6-5: full channels are 255 (shifting would give 248/252); 16 of 31 is 131.6 -> 132.
    BmpSpec spec{.width = 3, .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
    spec.pixels = Row16({0xFFFF, static_cast<std::uint16_t>(16 << 11), 0x0001});
    const QImage image = DecodeBmp(Span(MakeBmp(spec)), "x.bmp");
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(132, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 8));  // 1 of 31 is 8.2

    // 32-bit with 10-bit channels and 2-bit alpha: 512 of 1023 is 127.6 -> 128.
    BmpSpec wide{.headerSize = 124, .width = 1, .bitsPerPixel = 32, .compression = 3,
                 .masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}};
    const std::uint32_t v = (2u << 30) | (512u << 20) | (1023u << 10) | 0u;
    wide.pixels = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
                   static_cast<std::uint8_t>(v >> 24)};
    const QImage withAlpha = DecodeBmp(Span(MakeBmp(wide)), "x.bmp");
    EXPECT_EQ(withAlpha.format(), QImage::Format_ARGB32);
    EXPECT_EQ(withAlpha.pixel(0, 0), qRgba(128, 255, 0, 170));
}

TEST(BmpReader, DefaultSixteenBitLayoutIsFiveFiveFiveAndIgnoresTheTopBit) {
    BmpSpec spec{.width = 2, .bitsPerPixel = 16};
    spec.pixels = Row16({0x7FFF | 0x8000, 0x03E0});
    const QImage image = DecodeBmp(Span(MakeBmp(spec)), "x.bmp");
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
}

TEST(BmpReader, AlphaThatIsZeroEverywhereMeansOpaque) {
    BmpSpec spec{.headerSize = 124, .width = 2, .bitsPerPixel = 32, .compression = 3,
                 .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}};
    spec.pixels = {0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x00};
    const QImage image = DecodeBmp(Span(MakeBmp(spec)), "x.bmp");
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(1, 0), qRgb(0x60, 0x50, 0x40));
}

TEST(BmpReader, TwentyFourBitRowsComeOutRedGreenBlueTopFirst) {
    const std::vector<std::uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x000000};
    BmpSpec bottomUp{.width = 3, .height = 2, .pixels = Rows24(3, pixels)};
    const QImage image = DecodeBmp(Span(MakeBmp(bottomUp)), "x.bmp");
    ASSERT_EQ(image.format(), QImage::Format_RGB888);
    const std::uint8_t* top = image.constScanLine(0);
    EXPECT_EQ((std::vector<int>{top[0], top[1], top[2], top[3], top[4], top[5]}), (std::vector<int>{255, 0, 0, 0, 255, 0}));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0x12, 0x34, 0x56));

    // The same rows stored top-down (negative height) give the same picture.
    Bytes topDownRows = Rows24(3, pixels);
    std::rotate(topDownRows.begin(), topDownRows.begin() + 12, topDownRows.end());
    BmpSpec topDown{.width = 3, .height = -2, .pixels = topDownRows};
    EXPECT_EQ(CountDifferentPixels(DecodeBmp(Span(MakeBmp(topDown)), "x.bmp"), image), 0);
}

TEST(BmpReader, TwoBitPicturesKeepTheirFourColours) {
    BmpSpec spec{.width = 5, .bitsPerPixel = 2, .palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}};
    spec.pixels = {0b00011011, 0b01000000, 0, 0};  // 0 1 2 3 1
    const QImage image = DecodeBmp(Span(MakeBmp(spec)), "x.bmp");
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 4);
    const std::uint8_t* row = image.constScanLine(0);
    EXPECT_EQ((std::vector<int>(row, row + 5)), (std::vector<int>{0, 1, 2, 3, 1}));
}

TEST(BmpReader, ShortOs2PaletteEndsWhereThePixelDataStarts) {
    // 12-byte header, no colour count: the 3-entry table is as long as the gap allows.
    BmpSpec spec{.headerSize = 12, .width = 2, .bitsPerPixel = 8, .palette = {0x111111, 0x222222, 0x333333}};
    spec.pixels = {2, 1, 0, 0};
    const QImage image = DecodeBmp(Span(MakeBmp(spec)), "x.bmp");
    EXPECT_EQ(image.colorCount(), 3);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0x33, 0x33, 0x33));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0x22, 0x22, 0x22));
}

TEST(BmpReader, RleDeltasAndEarlyEndsLeaveColourZero) {
    // 4 x 3, RLE8, rows counted from the bottom: row 0 a run of two 5s and a delta to
    // (3, 1); row 1 one pixel 4 and an end of line; row 2 an absolute run 1 2 3.
    BmpSpec spec{.width = 4, .height = 3, .bitsPerPixel = 8, .compression = 1,
                 .palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x808080}};
    spec.pixels = {2, 5,  0, 2, 1, 1,        // run, delta to (3, 1)
                   1, 4,  0, 0,              // one white pixel, end of line
                   0, 3, 1, 2, 3, 0,         // absolute run of 3, padded
                   0, 1};                    // end of bitmap
    const QImage image = DecodeBmp(Span(MakeBmp(spec)), "x.bmp");
    auto row = [&](int y) {
        const std::uint8_t* p = image.constScanLine(y);
        return std::vector<int>(p, p + 4);
    };
    EXPECT_EQ(row(2), (std::vector<int>{5, 5, 0, 0}));
    EXPECT_EQ(row(1), (std::vector<int>{0, 0, 0, 4}));
    EXPECT_EQ(row(0), (std::vector<int>{1, 2, 3, 0}));
}

TEST(BmpReader, Rle4AndRle24Runs) {
    // RLE4: a run of 3 alternating 1 2 1, then an absolute run of 5 (three bytes, padded).
    BmpSpec four{.width = 8, .height = 1, .bitsPerPixel = 4, .compression = 2, .palette = {0, 0x111111, 0x222222}};
    four.pixels = {3, 0x12, 0, 5, 0x21, 0x21, 0x20, 0x00, 0, 1};
    const QImage image4 = DecodeBmp(Span(MakeBmp(four)), "x.bmp");
    const std::uint8_t* p = image4.constScanLine(0);
    EXPECT_EQ((std::vector<int>(p, p + 8)), (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2}));

    BmpSpec rle24{.headerSize = 64, .width = 3, .height = 1, .bitsPerPixel = 24, .compression = 4};
    rle24.pixels = {2, 0x30, 0x20, 0x10, 0, 1};  // end of bitmap before the third pixel
    const QImage image24 = DecodeBmp(Span(MakeBmp(rle24)), "x.bmp");
    EXPECT_EQ(image24.pixel(0, 0), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(image24.pixel(1, 0), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(image24.pixel(2, 0), qRgb(0, 0, 0));
}

TEST(BmpReader, RefusesRleDataThatLeavesThePicture) {
    BmpSpec spec{.width = 4, .height = 2, .bitsPerPixel = 8, .compression = 1, .palette = {0, 0xFFFFFF}};
    spec.pixels = {5, 1, 0, 1};
    EXPECT_TRUE(FailsWith(MakeBmp(spec), "RLE run overflows row 0"));
    spec.pixels = {0, 2, 1, 5, 0, 1};
    EXPECT_TRUE(FailsWith(MakeBmp(spec), "RLE delta moves outside the picture"));
    spec.pixels = {4, 1, 0, 0, 4, 1, 0, 0, 1, 1};
    EXPECT_TRUE(FailsWith(MakeBmp(spec), "runs past the last row"));
    spec.pixels = {4, 1, 0, 0, 2, 1};
    EXPECT_TRUE(FailsWith(MakeBmp(spec), "truncated"));
    spec.pixels = {4, 1, 0, 0, 4, 1};  // all rows written, no end code: accepted
    EXPECT_EQ(DecodeError(MakeBmp(spec)), "");
}

TEST(BmpReader, RefusesLyingHeaders) {
    const BmpSpec good{.width = 2, .height = 2, .pixels = Rows24(2, {1, 2, 3, 4})};
    EXPECT_EQ(DecodeError(MakeBmp(good)), "");

    BmpSpec s = good;
    s.width = 0;
    EXPECT_TRUE(FailsWith(MakeBmp(s), "invalid width 0"));
    s = good;
    s.bitsPerPixel = 12;
    EXPECT_TRUE(FailsWith(MakeBmp(s), "bits per pixel (12)"));
    s = good;
    s.compression = 9;
    EXPECT_TRUE(FailsWith(MakeBmp(s), "unknown BMP compression 9"));
    s = good;
    s.dataOffsetField = 20;
    EXPECT_TRUE(FailsWith(MakeBmp(s), "points into the headers"));
    s = good;
    s.dataOffsetField = 5000;
    EXPECT_TRUE(FailsWith(MakeBmp(s), "beyond the end of the file"));
    s = good;
    s.headerSize = 100;
    EXPECT_TRUE(FailsWith(MakeBmp(s), "unsupported BMP header size 100"));

    BmpSpec masks{.width = 1, .bitsPerPixel = 16, .compression = 3, .masks = {0xF00F, 0x00F0, 0x0F00}, .pixels = {0, 0, 0, 0}};
    EXPECT_TRUE(FailsWith(MakeBmp(masks), "red bit-field mask has gaps"));
    masks.masks = {0xFF00, 0x0FF0, 0x000F};
    EXPECT_TRUE(FailsWith(MakeBmp(masks), "masks overlap"));
    masks.masks = {0xF0000, 0x00F0, 0x000F};
    EXPECT_TRUE(FailsWith(MakeBmp(masks), "lies outside the 16-bit pixel"));

    BmpSpec palette{.width = 1, .bitsPerPixel = 8, .colorsUsed = 2, .palette = {0, 0xFFFFFF}, .pixels = {2, 0, 0, 0}};
    EXPECT_TRUE(FailsWith(MakeBmp(palette), "a pixel uses colour 2 but the colour table has only 2 entries"));
}

TEST(BmpReader, EveryTruncationOfAFileFailsCleanly) {
    BmpSpec spec{.width = 3, .height = 2, .bitsPerPixel = 4, .palette = {0, 0xFF, 0xFF00}};
    spec.pixels = {0x01, 0x20, 0, 0, 0x21, 0x00, 0, 0};
    // With the file size in the header, and without it (then only the pixel data can
    // tell; the last row's padding may be missing).
    for (const std::int64_t sizeField : {std::int64_t{-1}, std::int64_t{0}}) {
        spec.fileSizeField = sizeField;
        const Bytes file = MakeBmp(spec);
        ASSERT_EQ(DecodeError(file), "");
        for (std::size_t size = 0; size + 2 < file.size(); ++size) {
            const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_NE(DecodeError(cut), "") << size;
        }
    }
}

TEST(BmpReader, AbsurdDimensionsFailQuicklyWithoutAllocating) {
    const auto start = std::chrono::steady_clock::now();
    BmpSpec huge{.width = 100000, .height = 100000, .bitsPerPixel = 8, .palette = {0}, .pixels = {0, 0, 0, 0}};
    EXPECT_TRUE(FailsWith(MakeBmp(huge), "too large (100000 x 100000 pixels; the limit is 256 megapixels)"));
    // Within the limit but far more than the file holds: truncated, found before decoding.
    BmpSpec lying{.width = 10000, .height = 10000, .bitsPerPixel = 24, .pixels = {0, 0, 0, 0}};
    EXPECT_TRUE(FailsWith(MakeBmp(lying), "the file is truncated (the pixel data needs"));
    BmpSpec negative{.width = 1, .height = std::numeric_limits<std::int32_t>::min(), .pixels = {0, 0, 0, 0}};
    EXPECT_TRUE(FailsWith(MakeBmp(negative), "too large"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(BmpReader, FileLoaderNamesTheFile) {
    TempDir dir;
    const std::string missing = (dir / "missing.bmp").string();
    try {
        LoadBmpFile(missing);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read BMP file \"" + missing + "\": No such file or directory");
    }
    const std::string notBmp = (dir / "text.bmp").string();
    WriteFileBytes(notBmp, "hello");
    EXPECT_THROW(LoadBmpFile(notBmp), Exception);
}

}  // namespace
}  // namespace tovra::test
