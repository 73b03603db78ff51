// The preview and the PDF must agree: a page painted into an image (one pixel per point) and
// the printed page rendered by a real PDF renderer put the picture on the same pixels.
// (At exactly 72 dpi the renderer widens every image by one device pixel and smooths it, so
// the page is rendered finer and sampled back to one pixel per point.)
#include <gtest/gtest.h>

#include <cstdlib>

#include "ReportFixtures.h"
#include "TestSupport.h"
#include "report/PReport.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"

namespace tovra {
namespace {

struct Placement {
    const char* Label;
    int Width;   // item size
    int Height;
    bool Stretch;
};

// Natural size, a hand-fitted double size and a natural size clipped by a smaller item.
const Placement kPlacements[] = {{"natural", 48, 32, true}, {"doubled", 96, 64, true}, {"clipped", 30, 20, false}};

QImage IndexedPattern(int width, int height) {
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 16; ++i) colours << qRgb((i * 53) % 256, (i * 97) % 256, (i * 31) % 256);
    image.setColorTable(colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, static_cast<uint>((x / 3 + y / 2) % 16));
    return image;
}

int MaxChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Prints one page holding the picture and compares the item's area in preview and PDF. With an
// expected picture, the item's area of both must also show it (sampled at the centres of its
// 8 x 8 cells, which JPEG keeps within a few levels).
void ExpectPreviewMatchesPdf(const TPicture& picture, bool jpeg, const Placement& placement, int tolerance,
                             const QImage* expected = nullptr) {
    SCOPED_TRACE(placement.Label);
    TComponent owner;
    auto* page = owner.Make<TPRPage>();
    page->SetBounds(0, 0, 200, 150);
    test::SetMargins(*page, 10);
    auto* panel = owner.Make<TPRLayoutPanel>();
    panel->SetParent(page);
    panel->SetAlign(alClient);
    TPRImage* item = jpeg ? owner.Make<TPRJpegImage>() : owner.Make<TPRImage>();
    item->SetParent(panel);
    item->SetBounds(7, 5, placement.Width, placement.Height);
    item->Picture() = picture;
    item->SetStretch(placement.Stretch);
    item->SharedImage = false;

    const QImage preview = page->PaintToImage();

    test::TempDir dir;
    TPReport report;
    report.FileName = (dir / "page.pdf").string();
    report.BeginReport();
    report.PrintPage(*page);
    report.EndReport();
    EXPECT_QPDF_CLEAN(dir / "page.pdf");
    // Rendered at four device pixels per point, the renderer shows each image pixel unsmoothed;
    // the centre of every 4 x 4 block is then the colour of that point.
    const auto render = test::RunCommand("pdftoppm -r 288 -png -singlefile " + test::ShellQuote((dir / "page.pdf").string()) +
                                         " " + test::ShellQuote((dir / "render").string()));
    ASSERT_EQ(render.exitCode, 0) << render.output;
    const QImage fine(QString::fromStdString((dir / "render.png").string()));
    ASSERT_EQ(fine.size(), preview.size() * 4);
    QImage rendered(preview.size(), QImage::Format_RGB32);
    for (int y = 0; y < rendered.height(); ++y)
        for (int x = 0; x < rendered.width(); ++x) rendered.setPixel(x, y, fine.pixel(4 * x + 2, 4 * y + 2));

    const int left = 11 + 7, top = 11 + 5;
    int worst = 0;
    for (int y = top; y < top + placement.Height; ++y)
        for (int x = left; x < left + placement.Width; ++x)
            worst = std::max(worst, MaxChannelDifference(preview.pixel(x, y), rendered.pixel(x, y)));
    EXPECT_LE(worst, tolerance);
    if (expected) {
        int worstPreview = 0, worstRendered = 0;
        for (int y = 4; y < placement.Height; y += 8) {
            for (int x = 4; x < placement.Width; x += 8) {
                const QRgb want = expected->pixel(x * expected->width() / placement.Width,
                                                  y * expected->height() / placement.Height);
                worstPreview = std::max(worstPreview, MaxChannelDifference(preview.pixel(left + x, top + y), want));
                worstRendered = std::max(worstRendered, MaxChannelDifference(rendered.pixel(left + x, top + y), want));
            }
        }
        EXPECT_LE(worstPreview, 16) << "preview";
        EXPECT_LE(worstRendered, 16) << "PDF";
    }
    // Just outside the item nothing of the picture shows in either.
    EXPECT_EQ(rendered.pixel(left + placement.Width + 1, top + 1), qRgb(255, 255, 255));
}

TEST(PreviewAgreement, BitmapPicturesLandOnTheSamePixels) {
    const TPicture picture = test::BitmapPicture(test::TestPattern(48, 32));
    for (const auto& placement : kPlacements) ExpectPreviewMatchesPdf(picture, false, placement, 0);
}

TEST(PreviewAgreement, PalettePicturesLandOnTheSamePixels) {
    const TPicture picture = test::BitmapPicture(IndexedPattern(48, 32));
    for (const auto& placement : kPlacements) ExpectPreviewMatchesPdf(picture, false, placement, 0);
}

TEST(PreviewAgreement, JpegPicturesLandOnTheSamePixels) {
    const TPicture picture = test::JpegPicture(test::TestPattern(48, 32));
    for (const auto& placement : kPlacements) ExpectPreviewMatchesPdf(picture, true, placement, 12);
}

// Photos stored turned or mirrored show upright in the preview and in the PDF, stretched, at
// natural size and clipped at natural size by a smaller item.
TEST(PreviewAgreement, TurnedJpegPicturesShowUprightInBoth) {
    for (int orientation = 2; orientation <= 8; ++orientation) {
        SCOPED_TRACE(testing::Message() << "orientation " << orientation);
        const bool swapped = orientation >= 5;
        const QImage upright = test::TestPattern(swapped ? 32 : 48, swapped ? 48 : 32);
        const TPicture picture = test::OrientedJpegPicture(test::StoredForOrientation(upright, orientation), orientation);
        const int w = upright.width(), h = upright.height();
        const Placement natural{"natural", w, h, true};
        const Placement clipped{"clipped", w * 5 / 8, h * 5 / 8, false};
        ExpectPreviewMatchesPdf(picture, true, natural, 12, &upright);
        // Clipped at natural size: the item shows the upright picture's top-left part.
        const QImage corner = upright.copy(0, 0, clipped.Width, clipped.Height);
        ExpectPreviewMatchesPdf(picture, true, clipped, 12, &corner);
    }
}

}  // namespace
}  // namespace tovra
