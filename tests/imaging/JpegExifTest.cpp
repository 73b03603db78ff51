// The EXIF orientation of JPEG files: read from handcrafted blocks in both byte orders, and
// every damaged, truncated or nonsensical block taken as upright.
#include <gtest/gtest.h>

#include "ExifBlocks.h"
#include "ImageLoaders.h"
#include "ImageTestHelpers.h"
#include "JpegExif.h"
#include "JpegImage.h"
#include "TestImages.h"
#include "TestSupport.h"

namespace tovra::test {
namespace {

// A JPEG file's leading bytes: start marker, a JFIF segment, the given segments, a scan header.
Bytes JpegStart(const std::vector<Bytes>& segments) {
    Bytes out{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    for (const Bytes& segment : segments) out.insert(out.end(), segment.begin(), segment.end());
    const Bytes scan{0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 0x3F, 0};
    out.insert(out.end(), scan.begin(), scan.end());
    return out;
}

int OrientationOf(const std::vector<Bytes>& segments) { return ReadExifOrientation(Span(JpegStart(segments))); }

TEST(JpegExif, ReadsEveryOrientationInBothByteOrders) {
    for (const bool bigEndian : {true, false}) {
        for (int value = 1; value <= 8; ++value) {
            SCOPED_TRACE(testing::Message() << (bigEndian ? "MM " : "II ") << value);
            EXPECT_EQ(OrientationOf({ExifSegment(OrientationTiff(value, bigEndian))}), value);
        }
    }
    // A LONG value is taken as well as the SHORT the format asks for.
    EXPECT_EQ(OrientationOf({ExifSegment(TiffBlock(false, {{0x0112, 4, 1, 6}}))}), 6);
}

TEST(JpegExif, ValuesOutsideOneToEightAreUpright) {
    for (const std::uint32_t value : {0u, 9u, 0xFFFFu}) {
        EXPECT_EQ(OrientationOf({ExifSegment(OrientationTiff(static_cast<int>(value)))}), 1) << value;
        EXPECT_EQ(OrientationOf({ExifSegment(TiffBlock(false, {{0x0112, 4, 1, value | 0x60000u}}))}), 1) << value;
    }
}

TEST(JpegExif, MissingOrMisplacedBlocksAreUpright) {
    EXPECT_EQ(OrientationOf({}), 1);
    EXPECT_EQ(ReadExifOrientation({}), 1);
    // A directory without the tag.
    EXPECT_EQ(OrientationOf({ExifSegment(TiffBlock(true, {{0x010F, 2, 1, 0}}))}), 1);
    // An XMP block in APP1 comes first: it is passed over and the EXIF block after it read.
    const Bytes xmp = App1Segment({'h', 't', 't', 'p', ':', '/', '/', 'n', 's', 0, 'x'});
    EXPECT_EQ(OrientationOf({xmp, ExifSegment(OrientationTiff(3))}), 3);
    // Only the first EXIF block counts.
    EXPECT_EQ(OrientationOf({ExifSegment(OrientationTiff(5)), ExifSegment(OrientationTiff(7))}), 5);
    // A block after the start of the scan belongs to the compressed data, not to the header.
    Bytes late = JpegStart({});
    const Bytes exif = ExifSegment(OrientationTiff(6));
    late.insert(late.end(), exif.begin(), exif.end());
    EXPECT_EQ(ReadExifOrientation(Span(late)), 1);
    // Not a JPEG file at all: a bare TIFF structure, or an EXIF segment without the start marker.
    EXPECT_EQ(ReadExifOrientation(Span(OrientationTiff(6))), 1);
    EXPECT_EQ(ReadExifOrientation(Span(exif)), 1);
}

TEST(JpegExif, EveryTruncationIsUpright) {
    const Bytes whole = JpegStart({ExifSegment(OrientationTiff(6))});
    const std::size_t exifEnd = 20 + ExifSegment(OrientationTiff(6)).size();
    for (std::size_t size = 0; size < exifEnd; ++size)
        EXPECT_EQ(ReadExifOrientation(Span(whole).first(size)), 1) << size;
    EXPECT_EQ(ReadExifOrientation(Span(whole).first(exifEnd)), 6);
}

TEST(JpegExif, InconsistentStructuresAreUpright) {
    auto withByte = [](Bytes tiff, std::size_t at, std::uint8_t value) {
        tiff.at(at) = value;
        return tiff;
    };
    const Bytes good = OrientationTiff(6, true);  // MM, directory at 8, two entries
    ASSERT_EQ(TiffOrientation(Span(good)), 6);
    EXPECT_EQ(TiffOrientation(Span(withByte(good, 0, 'I'))), 1);   // "IM": no byte order
    EXPECT_EQ(TiffOrientation(Span(withByte(good, 3, 43))), 1);    // wrong magic number
    EXPECT_EQ(TiffOrientation(Span(withByte(good, 4, 0xFF))), 1);  // directory far beyond the block
    EXPECT_EQ(TiffOrientation(Span(withByte(good, 7, 0xF0))), 1);  // directory just beyond the block
    // The entry count claims more entries than the block holds, and the tag is not among those there.
    EXPECT_EQ(TiffOrientation(Span(TiffBlock(true, {{0x010F, 2, 1, 0}}))), 1);
    EXPECT_EQ(TiffOrientation(Span(withByte(TiffBlock(true, {{0x010F, 2, 1, 0}}), 9, 200))), 1);
    // Wrong type (ASCII) or a count of zero.
    EXPECT_EQ(TiffOrientation(Span(TiffBlock(true, {{0x0112, 2, 1, 6}}))), 1);
    EXPECT_EQ(TiffOrientation(Span(TiffBlock(true, {{0x0112, 3, 0, 6}}))), 1);
    // The orientation entry cut off in its value field.
    Bytes cut = OrientationTiff(6, false);
    cut.resize(8 + 2 + 12 + 9);
    EXPECT_EQ(TiffOrientation(Span(cut)), 1);
    // A segment length of less than two, or longer than the file.
    Bytes shortLength = JpegStart({ExifSegment(OrientationTiff(6))});
    shortLength[22] = 0;
    shortLength[23] = 1;
    EXPECT_EQ(ReadExifOrientation(Span(shortLength)), 1);
}

TEST(JpegExif, HeaderCarriesTheOrientationAndKeepsTheStoredSize) {
    QImage image(40, 24, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QByteArray plain = EncodeJpeg(image);
    const QByteArray turned = WithExifOrientation(plain, 6, false);
    const TJpegImage jpeg = ReadJpeg(turned, "turned.jpg");
    EXPECT_EQ(jpeg.Orientation(), 6);
    EXPECT_EQ(jpeg.Width(), 40);
    EXPECT_EQ(jpeg.Height(), 24);
    EXPECT_EQ(jpeg.Data(), turned);
    EXPECT_EQ(ReadJpeg(plain, "plain.jpg").Orientation(), 1);
}

TEST(JpegExif, CorpusOrientationExamples) {
    REQUIRE_CORPUS();
    for (int n = 0; n <= 8; ++n) {
        const auto jpeg = LoadJpegFile(CorpusPath("jpeg/Landscape_" + std::to_string(n) + ".jpg").string());
        EXPECT_EQ(jpeg->Orientation(), n == 0 ? 1 : n) << n;  // 0 is no orientation
        EXPECT_EQ(OrientationSwapsSides(jpeg->Orientation()), n >= 5) << n;
    }
}

}  // namespace
}  // namespace tovra::test
