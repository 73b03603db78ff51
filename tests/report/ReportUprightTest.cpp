// Turned and mirrored JPEG photos: where the stored corners land once upright, on screen and in
// the drawing matrix, and the content streams the JPEG item writes for them.
#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "imaging/RecordImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"
#include "report/UprightPicture.h"

namespace tovra {
namespace {

enum Corner { TL, TR, BL, BR };

// Where the stored picture's top-left, top-right and bottom-left corners belong once upright,
// for orientations 1..8 (the meaning of the EXIF tag).
struct CornerRow {
    Corner topLeft, topRight, bottomLeft;
};
const CornerRow kCorners[9] = {
    {TL, TR, BL},  // (unused)
    {TL, TR, BL}, {TR, TL, BR}, {BR, BL, TR}, {BL, BR, TL},
    {TL, BL, TR}, {TR, BR, TL}, {BR, TR, BL}, {BL, TL, BR},
};

QPoint PixelAt(Corner corner, int width, int height) {
    return {corner == TR || corner == BR ? width - 1 : 0, corner == BL || corner == BR ? height - 1 : 0};
}

TEST(UprightPicture, ScreenPixelsOfEachOrientation) {
    QImage stored(5, 3, QImage::Format_RGB32);
    stored.fill(Qt::white);
    stored.setPixel(0, 0, qRgb(255, 0, 0));
    stored.setPixel(4, 0, qRgb(0, 255, 0));
    stored.setPixel(0, 2, qRgb(0, 0, 255));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QImage upright = UprightImage(stored, orientation);
        const bool swapped = orientation >= 5;
        ASSERT_EQ(upright.size(), swapped ? QSize(3, 5) : QSize(5, 3));
        const CornerRow& row = kCorners[orientation];
        EXPECT_EQ(upright.pixel(PixelAt(row.topLeft, upright.width(), upright.height())), qRgb(255, 0, 0));
        EXPECT_EQ(upright.pixel(PixelAt(row.topRight, upright.width(), upright.height())), qRgb(0, 255, 0));
        EXPECT_EQ(upright.pixel(PixelAt(row.bottomLeft, upright.width(), upright.height())), qRgb(0, 0, 255));
    }
}

// In the image object's unit square the stored top-left corner is (0, 1), top-right (1, 1) and
// bottom-left (0, 0); the matrix must carry them to the box's corners the table names.
TEST(UprightPicture, DrawingMatrixOfEachOrientation) {
    const TPdfBox box{100, 200, 30, 50};
    auto pageCorner = [&](Corner corner) {
        return QPointF(corner == TR || corner == BR ? box.x + box.width : box.x,
                       corner == TL || corner == TR ? box.y + box.height : box.y);
    };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const TPdfMatrix m = UprightMatrix(orientation, box);
        auto map = [&](float u, float v) { return QPointF(m.a * u + m.c * v + m.e, m.b * u + m.d * v + m.f); };
        const CornerRow& row = kCorners[orientation];
        EXPECT_EQ(map(0, 1), pageCorner(row.topLeft));
        EXPECT_EQ(map(1, 1), pageCorner(row.topRight));
        EXPECT_EQ(map(0, 0), pageCorner(row.bottomLeft));
    }
    // Anything else is drawn as stored.
    for (const int other : {0, 9, -1}) {
        const TPdfMatrix m = UprightMatrix(other, box);
        EXPECT_EQ((std::vector<float>{m.a, m.b, m.c, m.d, m.e, m.f}), (std::vector<float>{30, 0, 0, 50, 100, 200}));
    }
}

// A Letter page with margins 20, so the content area is 570 x 750 at (21, 21).
template <class Item>
struct LetterPage {
    TComponent owner;
    TPRPage* page = owner.Make<TPRPage>();
    TPRLayoutPanel* panel = owner.Make<TPRLayoutPanel>();
    Item* item = owner.Make<Item>();
    LetterPage(TPicture picture, bool stretch) {
        page->SetBounds(0, 0, 612, 792);
        test::SetMargins(*page, 20);
        panel->SetParent(page);
        panel->SetAlign(alClient);
        item->SetParent(panel);
        item->SetBounds(0, 0, 570, 750);
        item->Picture() = std::move(picture);
        item->SetStretch(stretch);
        item->SharedImage = false;
    }
    // The content stream with the image's numeric name replaced by N.
    std::string Printed() {
        test::PrintTarget target;
        page->PrintOn(target.canvas);
        std::string contents = target.Contents();
        const std::size_t slash = contents.rfind('/');
        return contents.replace(slash + 1, contents.find(' ', slash) - slash - 1, "N");
    }
};

struct LetterJpeg : LetterPage<TPRJpegImage> {
    LetterJpeg(int orientation, int storedWidth, int storedHeight, bool stretch)
        : LetterPage(test::OrientedJpegPicture(test::TestPattern(storedWidth, storedHeight), orientation), stretch) {}
};

// A 300 x 200 image record (as a TIFF gives one) whose stored top row is red, the rest white.
TPicture RecordPicture(int orientation) {
    auto record = std::make_shared<TImageRecord>();
    record->Width = 300;
    record->Height = 200;
    std::string samples(300 * 200 * 3, '\xFF');
    for (int x = 0; x < 300; ++x) samples[static_cast<std::size_t>(x) * 3 + 1] = samples[static_cast<std::size_t>(x) * 3 + 2] = 0;
    record->Bytes = std::make_shared<const std::string>(std::move(samples));
    record->Orientation = orientation;
    return TPicture(std::make_unique<TRecordImage>(std::move(record), "scan.tif"));
}

TEST(UprightJpegItem, UprightAndSwitchedOffPicturesPrintAsBefore) {
    const std::string stretched = "/F0 10 Tf\nq\n570 0 0 750 21 21 cm\n/N Do\nQ\n";
    const std::string clipped = "/F0 10 Tf\nq\n21 21 570 750 re\nW\nn\n300 0 0 200 21 571 cm\n/N Do\nQ\n";
    EXPECT_EQ(LetterJpeg(1, 300, 200, true).Printed(), stretched);
    EXPECT_EQ(LetterJpeg(1, 300, 200, false).Printed(), clipped);
    for (const int orientation : {3, 6}) {
        LetterJpeg off(orientation, 300, 200, false);
        off.item->SetAutoOrient(false);
        EXPECT_EQ(off.item->Orientation(), 1);
        EXPECT_EQ(off.Printed(), clipped);
        off.item->SetStretch(true);
        EXPECT_EQ(off.Printed(), stretched);
    }
}

TEST(UprightJpegItem, TurnedPicturesPrintThroughTheTurningMatrix) {
    // Stretched: the upright picture fills the item.
    EXPECT_EQ(LetterJpeg(6, 300, 200, true).Printed(), "/F0 10 Tf\nq\n0 -750 570 0 21 771 cm\n/N Do\nQ\n");
    EXPECT_EQ(LetterJpeg(3, 300, 200, true).Printed(), "/F0 10 Tf\nq\n-570 0 0 -750 591 771 cm\n/N Do\nQ\n");
    // Natural size: 300 x 200 stored is 200 x 300 upright, its top-left at the item's, clipped to the item.
    LetterJpeg natural(6, 300, 200, false);
    EXPECT_EQ(natural.item->NaturalWidth(), 200);
    EXPECT_EQ(natural.item->NaturalHeight(), 300);
    EXPECT_EQ(natural.Printed(), "/F0 10 Tf\nq\n21 21 570 750 re\nW\nn\n0 -300 200 0 21 771 cm\n/N Do\nQ\n");
    EXPECT_EQ(LetterJpeg(8, 300, 200, false).Printed(),
              "/F0 10 Tf\nq\n21 21 570 750 re\nW\nn\n0 300 -200 0 221 471 cm\n/N Do\nQ\n");
    // Mirrors keep the sides.
    LetterJpeg mirrored(2, 300, 200, false);
    EXPECT_EQ(mirrored.item->NaturalWidth(), 300);
    EXPECT_EQ(mirrored.Printed(), "/F0 10 Tf\nq\n21 21 570 750 re\nW\nn\n-300 0 0 200 321 571 cm\n/N Do\nQ\n");
}

TEST(UprightJpegItem, SwitchingRepaintsAndChangesTheNaturalSize) {
    LetterJpeg turned(5, 40, 10, false);
    int repaints = 0;
    turned.page->OnChanged = [&] { ++repaints; };
    EXPECT_TRUE(turned.item->AutoOrient());
    EXPECT_EQ(turned.item->Orientation(), 5);
    EXPECT_EQ(turned.item->NaturalWidth(), 10);
    turned.item->SetAutoOrient(false);
    EXPECT_EQ(turned.item->NaturalWidth(), 40);
    EXPECT_EQ(turned.item->NaturalHeight(), 10);
    EXPECT_GT(repaints, 0);
    // An empty item has no orientation to apply.
    TPRJpegImage empty;
    EXPECT_EQ(empty.Orientation(), 1);
    EXPECT_EQ(empty.NaturalWidth(), 0);
}

TEST(UprightRecordItem, ATiffOrientationTurnsARecordAsExifTurnsAJpeg) {
    LetterPage<TPRImage> turned(RecordPicture(6), true);
    EXPECT_EQ(turned.Printed(), "/F0 10 Tf\nq\n0 -750 570 0 21 771 cm\n/N Do\nQ\n");
    EXPECT_EQ(turned.item->NaturalWidth(), 200);
    // Turned 90 degrees clockwise, the stored top row is the right edge on screen.
    const QImage shown = turned.page->PaintToImage();
    EXPECT_EQ(shown.pixel(588, 400), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(300, 400), qRgb(255, 255, 255));
    turned.item->SetAutoOrient(false);
    EXPECT_EQ(turned.item->NaturalWidth(), 300);
    EXPECT_EQ(turned.Printed(), "/F0 10 Tf\nq\n570 0 0 750 21 21 cm\n/N Do\nQ\n");
    EXPECT_EQ(turned.page->PaintToImage().pixel(300, 23), qRgb(255, 0, 0));
}

}  // namespace
}  // namespace tovra
