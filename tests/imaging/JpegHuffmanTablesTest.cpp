// Motion-JPEG frames carry no Huffman tables; the standard ones go in before the first scan.
#include <gtest/gtest.h>

#include <map>

#include <QImage>

#include "ImageTestHelpers.h"
#include "JpegHuffmanTables.h"
#include "TestImages.h"
#include "TestSupport.h"

namespace tovra::test {
namespace {

// The tables of every DHT segment before the first scan, by class and number, and the data
// with those segments taken out (what a Motion-JPEG camera writes).
struct TTables {
    std::map<int, std::string> byId;
    std::string withoutThem;
};

TTables SplitTables(const std::string& jpeg) {
    TTables result;
    result.withoutThem = jpeg.substr(0, 2);
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        const auto marker = static_cast<std::uint8_t>(jpeg[at + 1]);
        if (marker == 0xDA) break;
        const std::size_t length = (static_cast<std::uint8_t>(jpeg[at + 2]) << 8) | static_cast<std::uint8_t>(jpeg[at + 3]);
        if (marker == 0xC4) {
            for (std::size_t table = at + 4; table < at + 2 + length;) {
                std::size_t count = 0;
                for (int i = 1; i <= 16; ++i) count += static_cast<std::uint8_t>(jpeg[table + i]);
                result.byId[static_cast<std::uint8_t>(jpeg[table])] = jpeg.substr(table, 17 + count);
                table += 17 + count;
            }
        } else {
            result.withoutThem += jpeg.substr(at, 2 + length);
        }
        at += 2 + length;
    }
    result.withoutThem += jpeg.substr(at);
    return result;
}

std::span<const std::uint8_t> SpanOf(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

TEST(JpegHuffmanTables, TheStandardTablesAreTheOnesAnEncoderWritesByDefault) {
    TempDir dir;
    if (!CjpegFlatPicture(64, 48, false, "-baseline", dir / "plain.jpg")) GTEST_SKIP() << "cjpeg missing";
    const TTables encoder = SplitTables(ReadFileBytes(dir / "plain.jpg"));
    const TTables ours = SplitTables("\xFF\xD8" + std::string(StandardHuffmanTablesSegment()) + "\xFF\xDA");
    EXPECT_EQ(encoder.byId.size(), 4u);
    EXPECT_EQ(ours.byId, encoder.byId);
}

TEST(JpegHuffmanTables, AFrameWithoutTablesGetsThemBeforeItsScanAndShowsTheSamePixels) {
    QImage photo(40, 24, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x * 6, y * 10, (x * y) & 0xFF));
    const std::string original = EncodeJpeg(photo, 90).toStdString();
    const std::string frame = SplitTables(original).withoutThem;
    EXPECT_FALSE(MissingHuffmanTablesAt(SpanOf(original)));

    const std::optional<std::size_t> at = MissingHuffmanTablesAt(SpanOf(frame));
    ASSERT_TRUE(at);
    EXPECT_EQ(*at, frame.find("\xFF\xDA"));
    const std::string mended = WithStandardHuffmanTables(SpanOf(frame), *at);
    EXPECT_EQ(mended, frame.substr(0, *at) + std::string(StandardHuffmanTablesSegment()) + frame.substr(*at));
    const QImage shown = QImage::fromData(QByteArray::fromStdString(mended), "JPEG");
    EXPECT_EQ(CountDifferentPixels(shown, QImage::fromData(QByteArray::fromStdString(original), "JPEG")), 0);

    // Only baseline data: a progressive frame without tables is no Motion-JPEG frame.
    std::string progressive = frame;
    progressive[progressive.find("\xFF\xC0") + 1] = '\xC2';
    EXPECT_FALSE(MissingHuffmanTablesAt(SpanOf(progressive)));
}

}  // namespace
}  // namespace tovra::test
