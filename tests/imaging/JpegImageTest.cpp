// JPEG pictures: the file's bytes kept unchanged, the header facts read without
// decoding, unusable files refused by name, and the screen decode.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>

#include "ImageLoaders.h"
#include "ImageTestHelpers.h"
#include "JpegImage.h"
#include "TestSupport.h"
#include "TestImages.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    return image;
}

std::string JpegFailure(const QByteArray& bytes) {
    try {
        ReadJpeg(bytes, "x.jpg");
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

TEST(JpegImage, KeepsTheBytesAndReadsTheHeader) {
    const QByteArray bytes = EncodeJpeg(Gradient(64, 40));
    const TJpegImage jpeg = ReadJpeg(bytes, "x.jpg");
    EXPECT_EQ(jpeg.Data(), bytes);
    EXPECT_EQ(jpeg.Width(), 64);
    EXPECT_EQ(jpeg.Height(), 40);
    EXPECT_EQ(jpeg.Components(), 3);
    EXPECT_FALSE(jpeg.HasAdobeMarker());
    EXPECT_TRUE(jpeg.IsJpeg());
    EXPECT_FALSE(jpeg.Empty());

    const TJpegImage gray = ReadJpeg(EncodeJpeg(Gradient(8, 8).convertToFormat(QImage::Format_Grayscale8)), "g.jpg");
    EXPECT_EQ(gray.Components(), 1);
}

TEST(JpegImage, RefusesDamagedData) {
    const QByteArray good = EncodeJpeg(Gradient(32, 32));
    EXPECT_EQ(JpegFailure(QByteArray()), "Cannot read JPEG file \"x.jpg\": the file is empty");
    EXPECT_EQ(JpegFailure(good.left(good.size() - 2)), "Cannot read JPEG file \"x.jpg\": the file is truncated (no end-of-image marker)");
    EXPECT_NE(JpegFailure("not a jpeg at all"), "");
    // Every cut inside the header or the data fails without crashing.
    for (qsizetype size = 0; size < good.size() - 1; size += 7) EXPECT_NE(JpegFailure(good.left(size)), "") << size;
}

TEST(JpegImage, DecodesForTheScreenScaledDown) {
    const TJpegImage jpeg = ReadJpeg(EncodeJpeg(Gradient(300, 100)), "x.jpg");
    const QImage full = jpeg.Decode(0);
    EXPECT_EQ(full.size(), QSize(300, 100));
    const QImage small = jpeg.Decode(150);
    EXPECT_EQ(small.size(), QSize(150, 50));
    EXPECT_EQ(jpeg.ToImage().size(), QSize(300, 100));  // within the preview limit
    // Colours survive (JPEG is lossy: compare loosely).
    const QRgb centre = full.pixel(150, 50);
    EXPECT_NEAR(qRed(centre), 127, 8);
    EXPECT_NEAR(qBlue(centre), 128, 8);
}

TEST(JpegImage, FileLoaderAndCopies) {
    TempDir dir;
    const std::string path = (dir / "photo.jpg").string();
    const QByteArray bytes = EncodeJpeg(Gradient(20, 10));
    WriteFileBytes(path, bytes.toStdString());
    const auto jpeg = LoadJpegFile(path);
    EXPECT_EQ(jpeg->Data(), bytes);
    EXPECT_EQ(jpeg->FileName(), path);
    const std::unique_ptr<TGraphic> copy = jpeg->Clone();
    ASSERT_TRUE(copy->IsJpeg());
    EXPECT_EQ(static_cast<const TJpegImage&>(*copy).Data(), bytes);

    const std::string missing = (dir / "missing.jpg").string();
    try {
        LoadJpegFile(missing);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read JPEG file \"" + missing + "\": No such file or directory");
    }
}

// Corpus files.

std::string CorpusJpeg(const std::string& name) { return CorpusPath("jpeg/" + name).string(); }

TEST(JpegCorpus, HeaderValuesOfGreyColourAndCmykFiles) {
    REQUIRE_CORPUS();
    const struct {
        const char* name;
        int width, height, components;
        bool adobe;
    } cases[] = {
        {"video-005.gray.jpeg", 150, 103, 1, false},  {"testorig.jpg", 227, 149, 3, false},
        {"video-001.rgb.jpeg", 150, 103, 3, true},    {"video-001.progressive.jpeg", 150, 103, 3, false},
        {"video-001.cmyk.jpeg", 150, 103, 4, true},   {"pil_sample_cmyk.jpg", 100, 100, 4, true},
        {"jpg-cmyk-1.jpg", 32, 32, 4, true},          {"Landscape_6.jpg", 1200, 1800, 3, false},
        {"jpg-size-1x1.jpg", 1, 1, 3, false},         {"mjpeg.jpg", 960, 720, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto jpeg = LoadJpegFile(CorpusJpeg(c.name));
        EXPECT_EQ(jpeg->Width(), c.width);
        EXPECT_EQ(jpeg->Height(), c.height);
        EXPECT_EQ(jpeg->Components(), c.components);
        EXPECT_EQ(jpeg->HasAdobeMarker(), c.adobe);
        EXPECT_EQ(jpeg->Data().toStdString(), ReadFileBytes(CorpusJpeg(c.name)));
    }
}

TEST(JpegCorpus, UnusableFilesAreRefusedWithAMessageNamingThem) {
    REQUIRE_CORPUS();
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"empty.jpg", "the file is empty"},
        {"jpeg_lossless_sel1.jpg", "SOF type 0xc3"},
        {"max_size.jpg", "65500"},
        {"missing-sos.jpg", "missing SOS marker"},
        {"monkey12.jpg", "precision 12"},
        {"null_height.jpg", "Empty JPEG image"},
        {"testimgari.jpg", "arithmetic-coded"},
        {"truncated_jpeg.jpg", "no end-of-image marker"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = CorpusJpeg(c.name);
        try {
            LoadJpegFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot read JPEG file \"" + path + "\": ", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
}

TEST(JpegCorpus, CmykPreviewIsNotInverted) {
    REQUIRE_CORPUS();
    const QImage preview = LoadJpegFile(CorpusJpeg("video-001.cmyk.jpeg"))->ToImage();
    const QImage reference(QString::fromStdString(CorpusJpeg("video-001.cmyk.png")));
    ASSERT_EQ(preview.size(), reference.size());
    int maxDelta = 0;
    const int differing = CountDifferentPixels(preview, reference, &maxDelta);
    EXPECT_LE(maxDelta, 16) << differing << " pixels differ";
}

}  // namespace
}  // namespace tovra::test
