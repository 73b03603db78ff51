// Motion-JPEG frames carry no Huffman tables; the standard ones go in before the first scan.
#include <gtest/gtest.h>

#include <QImage>

#include "ImageTestHelpers.h"
#include "JpegHuffmanTables.h"
#include "TestImages.h"

namespace tovra::test {
namespace {

std::span<const std::uint8_t> SpanOf(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

TEST(JpegHuffmanTables, AFrameWithoutTablesGetsTheStandardOnesBeforeItsScan) {
    QImage photo(40, 24, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x * 6, y * 10, (x * y) & 0xFF));
    const std::string original = EncodeJpeg(photo, 90).toStdString();
    // The DHT segments taken out, as a Motion-JPEG camera writes its frames.
    std::string frame = original.substr(0, 2), tables;
    std::size_t at = 2;
    for (; static_cast<std::uint8_t>(original[at + 1]) != 0xDA;) {
        const std::size_t length = 2 + ((static_cast<std::uint8_t>(original[at + 2]) << 8) |
                                        static_cast<std::uint8_t>(original[at + 3]));
        if (static_cast<std::uint8_t>(original[at + 1]) == 0xC4) {
            tables += original.substr(at + 4, length - 4);
        } else {
            frame += original.substr(at, length);
        }
        at += length;
    }
    frame += original.substr(at);
    // The encoder's default tables are the standard ones, in the same order.
    const std::string segment(StandardHuffmanTablesSegment());
    EXPECT_EQ(tables, segment.substr(4));

    EXPECT_FALSE(MissingHuffmanTablesAt(SpanOf(original)));
    const std::optional<std::size_t> scan = MissingHuffmanTablesAt(SpanOf(frame));
    ASSERT_TRUE(scan);
    EXPECT_EQ(*scan, frame.find("\xFF\xDA"));
    const std::string mended = WithStandardHuffmanTables(SpanOf(frame), *scan);
    EXPECT_EQ(mended, frame.substr(0, *scan) + segment + frame.substr(*scan));
    EXPECT_EQ(CountDifferentPixels(QImage::fromData(QByteArray::fromStdString(mended), "JPEG"),
                                   QImage::fromData(QByteArray::fromStdString(original), "JPEG")),
              0);

    // Only baseline data: a progressive frame without tables is no Motion-JPEG frame.
    frame[frame.find("\xFF\xC0") + 1] = '\xC2';
    EXPECT_FALSE(MissingHuffmanTablesAt(SpanOf(frame)));
}

}  // namespace
}  // namespace tovra::test
