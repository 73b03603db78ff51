// Image objects as a PDF reader shows them: one-page documents drawing a picture at its
// natural size (page size = picture size), rendered by pdftoppm and compared with the
// decoded picture. Rendering is at 288 dpi, four device pixels per image pixel: at
// 72 dpi poppler smooths images drawn at 1:1 (bilinear below a scale of 4), so only the
// fourfold rendering shows the image's own pixels, each as a 4 x 4 block.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <QImage>

#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "imaging/ImageLoaders.h"
#include "pdf/PdfImages.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

constexpr int kScale = 4;

// Writes a one-page PDF whose page is the picture's size and shows the picture at
// natural size, checks it with qpdf and returns the page rendered by pdftoppm at
// kScale device pixels per point.
QImage RenderOnePage(const TPicture& picture, const std::string& creatorName) {
    TPdfDoc doc;
    FixClock(doc);
    doc.CompressionMethod = cmFlateDecode;
    doc.StartDocument();
    doc.AddPage();
    TPdfCanvas& canvas = *doc.GetCanvas();
    canvas.SetPageWidth(picture.Width());
    canvas.SetPageHeight(picture.Height());
    doc.AddImage("Picture", CreatePdfImage(picture, creatorName));
    canvas.DrawXObject(0, 0, static_cast<float>(picture.Width()), static_cast<float>(picture.Height()), "Picture");

    TempDir dir;
    const fs::path pdf = dir / "page.pdf";
    WriteFileBytes(pdf, Saved(doc));
    EXPECT_QPDF_CLEAN(pdf);
    const CommandResult rendered = RunCommand("pdftoppm -r " + std::to_string(72 * kScale) + " -png -singlefile " + ShellQuote(pdf.string()) + " " +
                                              ShellQuote((dir / "page").string()));
    EXPECT_EQ(rendered.exitCode, 0) << rendered.output;
    return QImage(QString::fromStdString((dir / "page.png").string())).convertToFormat(QImage::Format_RGB32);
}

struct Difference {
    int pixels = 0;   // pixels that differ at all
    int max = 0;      // largest channel difference
    double mean = 0;  // mean absolute channel difference
};

// The picture as the rendering should show it: each pixel a kScale x kScale block.
QImage Enlarged(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32)
        .scaled(image.width() * kScale, image.height() * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

Difference Compare(const QImage& a, const QImage& b) {
    Difference d;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            const int dr = std::abs(qRed(p) - qRed(q)), dg = std::abs(qGreen(p) - qGreen(q)),
                      db = std::abs(qBlue(p) - qBlue(q));
            d.pixels += (dr | dg | db) != 0;
            d.max = std::max({d.max, dr, dg, db});
            sum += dr + dg + db;
        }
    d.mean = sum / (3.0 * x.width() * x.height());
    return d;
}

void ExpectRendersExactly(const std::string& path, std::unique_ptr<TBitmap> bitmap) {
    SCOPED_TRACE(path);
    const QImage expected = Enlarged(bitmap->Image());
    const QImage page = RenderOnePage(TPicture(std::move(bitmap)), "Pdf-Bitmap");
    ASSERT_EQ(page.size(), expected.size());
    const Difference d = Compare(page, expected);
    EXPECT_EQ(d.pixels, 0) << "max difference " << d.max;
}

TEST(PdfImagesRendered, HandMadeBitmapsOfEveryKind) {
    // A 1-bit, an 8-bit palette and a 32-bit picture with colours in every corner.
    QImage mono(13, 5, QImage::Format_Mono);
    mono.setColorTable({qRgb(200, 30, 40), qRgb(10, 90, 250)});
    mono.fill(0);
    for (int i = 0; i < 5; ++i) mono.setPixel(i * 3, i, 1);
    ExpectRendersExactly("mono", std::make_unique<TBitmap>(mono));

    QImage rgb(7, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) rgb.setPixel(x, y, qRgb(x * 36, y * 120, 255 - x * 30));
    ExpectRendersExactly("rgb", std::make_unique<TBitmap>(rgb));
    ExpectRendersExactly("indexed", std::make_unique<TBitmap>(rgb.convertToFormat(QImage::Format_Indexed8)));
}

TEST(PdfImagesRendered, EveryGoodBmpSuiteFileShowsItsPixels) {
    const fs::path dir = CorpusDir() / "bmpsuite" / "g";
    if (CorpusDir().empty() || !fs::is_directory(dir)) GTEST_SKIP() << "corpus absent";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".bmp") continue;
        ExpectRendersExactly(entry.path().string(), LoadBmpFile(entry.path().string()));
        ++files;
    }
    EXPECT_EQ(files, 27);
}

TEST(PdfImagesRendered, EveryGoodGifShowsItsFirstFrame) {
    const fs::path dir = CorpusDir() / "gif";
    if (CorpusDir().empty() || !fs::is_directory(dir)) GTEST_SKIP() << "corpus absent";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".gif") continue;
        std::unique_ptr<TBitmap> bitmap;
        try {
            bitmap = LoadGifFile(entry.path().string());
        } catch (const Exception&) {
            continue;  // damaged files are the decoder tests' business
        }
        ExpectRendersExactly(entry.path().string(), std::move(bitmap));
        ++files;
    }
    EXPECT_GE(files, 17);
}

// JPEG data is decoded by the PDF reader; compare with Qt's decoder of the same file.
TEST(PdfImagesRendered, JpegsShowInTheirColours) {
    const fs::path dir = CorpusDir() / "jpeg";
    if (CorpusDir().empty() || !fs::is_directory(dir)) GTEST_SKIP() << "corpus absent";
    for (const char* name : {"video-005.gray.jpeg", "video-001.q50.420.jpeg", "video-001.progressive.jpeg",
                             "video-001.rgb.jpeg", "testorig.jpg", "restarts.jpg"}) {
        SCOPED_TRACE(name);
        const auto jpeg = LoadJpegFile((dir / name).string());
        const QImage expected = Enlarged(jpeg->Decode(0));
        const QImage page = RenderOnePage(TPicture(jpeg->Clone()), "Pdf-Jpeg");
        ASSERT_EQ(page.size(), expected.size());
        const Difference d = Compare(page, expected);
        EXPECT_LT(d.mean, 1.5) << "max " << d.max;
    }
}

// poppler turns DeviceCMYK into RGB with its own formula, which differs from the simple
// multiplicative conversion of the references by a dozen or so levels on average, so the
// check is loose; data shown inverted would be far closer to the negative picture.
void ExpectCloserThanItsNegative(const QImage& page, const QImage& expected) {
    QImage negative = expected.convertToFormat(QImage::Format_RGB32);
    negative.invertPixels();
    const Difference d = Compare(page, expected);
    const Difference inverted = Compare(page, negative);
    EXPECT_LT(d.mean, 20) << "max " << d.max;
    EXPECT_GT(inverted.mean, 3 * d.mean);
}

TEST(PdfImagesRendered, CmykJpegsAreNotInverted) {
    const fs::path dir = CorpusDir() / "jpeg";
    if (CorpusDir().empty() || !fs::is_directory(dir)) GTEST_SKIP() << "corpus absent";
    // Against the suite's own rendering of this file ...
    const QImage reference = Enlarged(QImage(QString::fromStdString((dir / "video-001.cmyk.png").string())));
    const QImage page = RenderOnePage(TPicture(LoadJpegFile((dir / "video-001.cmyk.jpeg").string())), "Pdf-Jpeg");
    ASSERT_EQ(page.size(), reference.size());
    ExpectCloserThanItsNegative(page, reference);
    // ... and the other CMYK files (one of them YCCK) against Qt's decoder.
    for (const char* name : {"jpg-cmyk-1.jpg", "pil_sample_cmyk.jpg"}) {
        SCOPED_TRACE(name);
        const auto jpeg = LoadJpegFile((dir / name).string());
        const QImage rendered = RenderOnePage(TPicture(jpeg->Clone()), "Pdf-Jpeg");
        ExpectCloserThanItsNegative(rendered, Enlarged(jpeg->Decode(0)));
    }
}

}  // namespace
}  // namespace tovra::test
