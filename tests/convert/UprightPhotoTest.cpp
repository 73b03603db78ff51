// Photos taken with the camera held turned: each of the corpus's eight EXIF orientations (and
// the nonsensical 0), made into a PDF by the creation run and rendered by a real PDF renderer,
// shows the same upright picture as the photo stored upright; the preview shows it too.
#include <gtest/gtest.h>

#include "ConversionFixtures.h"
#include "PdfReadBack.h"
#include "TestSupport.h"
#include "convert/CreationRun.h"
#include "convert/PageLayout.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"
#include "report/PReport.h"

namespace tovra {
namespace {

constexpr int kRenderDpi = 12;  // a 1802 x 1202 page becomes about 300 x 200 pixels
// Mean level difference allowed between renders of two of these photos shown upright: they differ
// in the digit each shows (about 8 levels). Shown turned or mirrored, one differs by 70 or more.
constexpr double kSamePicture = 16;

std::string Landscape(int n) {
    return (test::CorpusDir() / "jpeg" / ("Landscape_" + std::to_string(n) + ".jpg")).string();
}

// Full Size with no margins: the page is the upright photo plus the one-point frame.
TPDFImage FullSizeEntry(int n) {
    TPDFImage entry = test::LetterEntry(Landscape(n), ikJPEG, smFullSize);
    ApplyMargins(entry, 0, 0, 0, 0);
    return entry;
}

QImage RenderSmall(const std::filesystem::path& pdf, int page) {
    const std::string prefix = pdf.string() + "-small" + std::to_string(page);
    const auto run = test::RunCommand("pdftoppm -r " + std::to_string(kRenderDpi) + " -f " + std::to_string(page) +
                                      " -l " + std::to_string(page) + " -singlefile -png " +
                                      test::ShellQuote(pdf.string()) + " " + test::ShellQuote(prefix));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return QImage(QString::fromStdString(prefix + ".png")).convertToFormat(QImage::Format_RGB32);
}

double MeanDifference(const QImage& a, const QImage& b) {
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size()) return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

class UprightPhotoTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::CorpusDir().empty()) GTEST_SKIP() << "corpus absent";
        ConfigureReport(report);
        for (int n = 0; n <= 8; ++n) entries.push_back(FullSizeEntry(n));
    }

    // All nine photos, one page each, with the switch as given.
    std::filesystem::path Build(const std::string& name, bool autoOrient) {
        const std::filesystem::path path = dir / name;
        std::vector<const TPDFImage*> rows;
        for (const TPDFImage& entry : entries) rows.push_back(&entry);
        report.FileName = path.string();
        TBuildOptions options;
        options.AutoOrient = autoOrient;
        BuildPdf(report, rows, options);
        return path;
    }

    test::TempDir dir;
    TPReport report;
    std::vector<TPDFImage> entries;
};

TEST_F(UprightPhotoTest, EveryOrientationRendersUprightAndTheDataStaysByteForByte) {
    const auto pdf = Build("upright.pdf", true);
    EXPECT_QPDF_CLEAN(pdf);
    const std::string written = test::ReadFileBytes(pdf);
    const auto sizes = test::PageSizes(pdf);
    const auto images = test::ListImages(pdf);
    ASSERT_EQ(sizes.size(), 9u);
    ASSERT_EQ(images.size(), 9u);
    const QImage reference = RenderSmall(pdf, 2);  // Landscape_1: stored upright
    for (int n = 0; n <= 8; ++n) {
        SCOPED_TRACE(Landscape(n));
        EXPECT_EQ(sizes[n].Width, 1802);
        EXPECT_EQ(sizes[n].Height, 1202);
        EXPECT_EQ(images[n].Encoding, "jpeg");
        EXPECT_EQ(images[n].Width, n >= 5 ? 1200 : 1800);  // the image object keeps the stored size
        EXPECT_NE(written.find(test::ReadFileBytes(Landscape(n))), std::string::npos);
        EXPECT_LE(MeanDifference(RenderSmall(pdf, n + 1), reference), kSamePicture);
    }
}

TEST_F(UprightPhotoTest, SwitchedOffEveryPhotoIsPlacedAsStored) {
    const auto pdf = Build("as-stored.pdf", false);
    const auto sizes = test::PageSizes(pdf);
    ASSERT_EQ(sizes.size(), 9u);
    const QImage reference = RenderSmall(pdf, 2);
    for (int n = 2; n <= 8; ++n) {
        SCOPED_TRACE(Landscape(n));
        EXPECT_EQ(sizes[n].Width, n >= 5 ? 1202 : 1802);
        // The page shows the photo as stored, so it does not look like the upright one.
        if (n <= 4) {
            EXPECT_GT(MeanDifference(RenderSmall(pdf, n + 1), reference), 3 * kSamePicture);
        }
    }
}

// The preview page painted for each photo agrees with the upright PDF render.
TEST_F(UprightPhotoTest, PreviewShowsEveryOrientationUpright) {
    const QImage reference = RenderSmall(Build("upright.pdf", true), 2);
    TControl owner;
    auto* page = owner.Make<TPRPage>();
    auto* panel = owner.Make<TPRLayoutPanel>();
    panel->SetParent(page);
    panel->SetAlign(alClient);
    auto* item = owner.Make<TPRJpegImage>();
    item->SetParent(panel);
    for (int n = 0; n <= 8; ++n) {
        SCOPED_TRACE(Landscape(n));
        TPDFImage entry = FullSizeEntry(n);
        entry.JpegItem = item;
        entry.LayoutPanel = panel;
        entry.Page = page;
        LoadPicture(entry);
        const QImage preview = page->PaintToImage();
        ASSERT_EQ(preview.size(), QSize(1802, 1202));
        const QImage small = preview.scaled(reference.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(MeanDifference(small, reference), kSamePicture);
    }
}

}  // namespace
}  // namespace tovra
