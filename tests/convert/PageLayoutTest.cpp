// Laying an entry out on its page: page size, margins and the item's place for each sizing mode,
// Letter portrait with margins of 20 (content area 570 x 750 at (21, 21)) unless said otherwise.
#include <gtest/gtest.h>

#include "ConversionFixtures.h"
#include "ExifBlocks.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "common/Exceptions.h"
#include "convert/PageLayout.h"
#include "imaging/Bitmap.h"
#include "imaging/JpegImage.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"

namespace tovra {
namespace {

using test::LetterEntry;

class PageLayoutTest : public ::testing::Test {
protected:
    PageLayoutTest() {
        page = owner.Make<TPRPage>();
        page->SetParent(&owner);
        panel = owner.Make<TPRLayoutPanel>();
        panel->SetParent(page);
        panel->SetAlign(alClient);
        bitmapItem = owner.Make<TPRImage>();
        bitmapItem->SetParent(panel);
        jpegItem = owner.Make<TPRJpegImage>();
        jpegItem->SetParent(panel);
    }

    TPDFImage Entry(TSizeMethod sizing, TImageKind kind = ikBMP) {
        TPDFImage entry = LetterEntry("unused.bmp", kind, sizing);
        entry.BitmapItem = bitmapItem;
        entry.JpegItem = jpegItem;
        entry.LayoutPanel = panel;
        entry.Page = page;
        return entry;
    }

    void GivePicture(int width, int height) {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(Qt::red);
        bitmapItem->Picture().SetGraphic(std::make_unique<TBitmap>(image));
    }

    // A JPEG picture stored width x height whose EXIF orientation says how to turn it.
    void GiveTurnedJpeg(int width, int height, int orientation) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QByteArray bytes = test::WithExifOrientation(test::EncodeJpeg(image), orientation);
        jpegItem->Picture().SetGraphic(std::make_unique<TJpegImage>(ReadJpeg(bytes, "turned.jpg")));
    }

    TRect ItemRect() const { return bitmapItem->BoundsRect(); }

    TControl owner;
    TPRPage* page;
    TPRLayoutPanel* panel;
    TPRImage* bitmapItem;
    TPRJpegImage* jpegItem;
};

TEST_F(PageLayoutTest, StretchFillsTheContentArea) {
    GivePicture(37, 11);
    TPDFImage entry = Entry(smStretch);
    LayoutPage(&entry);
    EXPECT_EQ(page->Width(), 612);
    EXPECT_EQ(page->Height(), 792);
    EXPECT_EQ(panel->BoundsRect(), (TRect{21, 21, 591, 771}));
    EXPECT_EQ(ItemRect(), (TRect{0, 0, 570, 750}));
    EXPECT_TRUE(bitmapItem->Stretch());
    EXPECT_FALSE(bitmapItem->SharedImage);
}

struct FitCase {
    int pw, ph;
    int width, height;
    bool stretched;
};

class FitLayout : public PageLayoutTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(FitLayout, KeepsOrScalesDownFromTheTopLeftCorner) {
    const FitCase c = GetParam();
    GivePicture(c.pw, c.ph);
    TPDFImage entry = Entry(smFit);
    LayoutPage(&entry);
    EXPECT_EQ(ItemRect(), (TRect{0, 0, c.width, c.height}));
    EXPECT_EQ(bitmapItem->Stretch(), c.stretched);
}

INSTANTIATE_TEST_SUITE_P(Letter, FitLayout,
                         ::testing::Values(FitCase{1000, 500, 570, 285, true},   // the width limits
                                           FitCase{600, 1000, 450, 750, true},   // the height limits
                                           FitCase{1140, 1500, 570, 750, true},  // a tie goes to the height
                                           FitCase{400, 300, 400, 300, false},   // fits: natural size
                                           FitCase{570, 750, 570, 750, false},   // fits exactly
                                           FitCase{1, 10000, 0, 750, true}));     // truncated to nothing wide

TEST_F(PageLayoutTest, FullSizeMakesThePageFitThePicture) {
    GivePicture(300, 200);
    TPDFImage entry = Entry(smFullSize);
    LayoutPage(&entry);
    EXPECT_EQ(page->Width(), 342);
    EXPECT_EQ(page->Height(), 242);
    EXPECT_EQ(panel->BoundsRect(), (TRect{21, 21, 321, 221}));
    EXPECT_EQ(ItemRect(), (TRect{0, 0, 300, 200}));
    EXPECT_FALSE(bitmapItem->Stretch());
    EXPECT_EQ(entry.PageWidth, 612);  // the entry keeps its paper's size
    EXPECT_EQ(entry.PageHeight, 792);
}

// A photo stored 1000 x 500 and shown turned is 500 x 1000: every sizing mode places the upright
// picture, and with the switch off the stored one.
TEST_F(PageLayoutTest, TurnedPhotosArePlacedAtTheirUprightSize) {
    GiveTurnedJpeg(1000, 500, 6);
    TPDFImage entry = Entry(smFit, ikJPEG);
    LayoutPage(&entry);
    EXPECT_EQ(jpegItem->BoundsRect(), (TRect{0, 0, 375, 750}));  // the height limits
    EXPECT_TRUE(jpegItem->Stretch());
    entry.SizeMethod = smFullSize;
    LayoutPage(&entry);
    EXPECT_EQ(page->Width(), 542);
    EXPECT_EQ(page->Height(), 1042);
    EXPECT_EQ(jpegItem->BoundsRect(), (TRect{0, 0, 500, 1000}));
    entry.SizeMethod = smStretch;
    LayoutPage(&entry);
    EXPECT_EQ(jpegItem->BoundsRect(), (TRect{0, 0, 570, 750}));

    jpegItem->SetAutoOrient(false);
    entry.SizeMethod = smFit;
    LayoutPage(&entry);
    EXPECT_EQ(jpegItem->BoundsRect(), (TRect{0, 0, 570, 285}));  // stored: the width limits
    // A mirrored photo keeps its sides.
    jpegItem->SetAutoOrient(true);
    GiveTurnedJpeg(400, 300, 2);
    LayoutPage(&entry);
    EXPECT_EQ(jpegItem->BoundsRect(), (TRect{0, 0, 400, 300}));
}

TEST_F(PageLayoutTest, LandscapeSwapsThePaper) {
    GivePicture(10, 10);
    TPDFImage entry = Entry(smStretch);
    ApplyPaper(entry, "Letter", 612, 792, false);
    EXPECT_EQ(entry.PageWidth, 792);
    EXPECT_EQ(entry.PageHeight, 612);
    LayoutPage(&entry);
    EXPECT_EQ(ItemRect(), (TRect{0, 0, 750, 570}));
}

TEST_F(PageLayoutTest, RefusedMarginKeepsThePagesPreviousOne) {
    GivePicture(10, 10);
    TPDFImage entry = Entry(smStretch);
    LayoutPage(&entry);
    entry.MarginLeft = 400;  // not below 612 div 2
    entry.MarginRight = 40;
    LayoutPage(&entry);
    EXPECT_EQ(entry.MarginLeft, 400);
    EXPECT_EQ(page->MarginLeft(), 20);
    EXPECT_EQ(page->MarginRight(), 40);
    EXPECT_EQ(ItemRect(), (TRect{0, 0, 550, 750}));
}

TEST_F(PageLayoutTest, NoContentAreaGivesTheItemNoSize) {
    GivePicture(100, 100);
    TPDFImage entry = Entry(smFit);
    ApplyPaper(entry, "Letter", 612, 792, false);  // 792 x 612: margins up to 395 are taken
    ApplyMargins(entry, 305, 305, 20, 20);         // 612 - 610 - 2 = 0 left for the picture
    LayoutPage(&entry);
    EXPECT_FALSE(HasContentArea(*page));
    EXPECT_EQ(ItemRect(), (TRect{0, 0, 0, 0}));
    entry.SizeMethod = smStretch;
    LayoutPage(&entry);
    EXPECT_EQ(ItemRect(), (TRect{0, 0, 0, 0}));
    entry.MarginTop = 300;
    LayoutPage(&entry);
    EXPECT_TRUE(HasContentArea(*page));
}

TEST_F(PageLayoutTest, WithoutEntryOrItemOnlyThePageChanges) {
    LayoutPage(nullptr);
    GivePicture(100, 100);
    const TRect before = ItemRect();
    TPDFImage entry = Entry(smFit, ikNone);
    entry.PageWidth = 300;
    LayoutPage(&entry);
    EXPECT_EQ(page->Width(), 300);
    EXPECT_EQ(ItemRect(), before);
}

// Only a file that is not there is "not found"; anything else says what is wrong with it.
TEST_F(PageLayoutTest, FilesThatCannotBeLoadedSayWhyAndLeaveTheItemAsItWas) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "folder.jpg");
    test::WriteFileBytes(dir / "plain", "x");
    const std::string tooLong = (dir / (std::string(300, 'n') + ".gif")).string();
    const struct {
        std::string path;
        TImageKind kind;
        std::string message;
    } cases[] = {
        {"/no/such/folder/missing.jpg", ikJPEG, "Image file not found: \"/no/such/folder/missing.jpg\""},
        {(dir / "plain" / "under-a-file.bmp").string(), ikBMP,
         "Image file not found: \"" + (dir / "plain" / "under-a-file.bmp").string() + "\""},
        {(dir / "folder.jpg").string(), ikJPEG,
         "Cannot read JPEG file \"" + (dir / "folder.jpg").string() + "\": it is a folder, not a file"},
        {tooLong, ikGIF, "Cannot read GIF file \"" + tooLong + "\": File name too long"},
    };
    GivePicture(40, 30);
    for (const auto& c : cases) {
        TPDFImage entry = Entry(smFit, c.kind);
        entry.FileName = c.path;
        try {
            LoadPicture(entry);
            ADD_FAILURE() << "no failure: " << c.path;
        } catch (const Exception& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(bitmapItem->Picture().Width(), 40);
}

TEST_F(PageLayoutTest, LoadsEachKindIntoItsItemAndShowsIt) {
    test::TempDir dir;
    bitmapItem->SetVisible(false);
    jpegItem->SetVisible(false);

    TPDFImage gif = Entry(smFit, ikGIF);
    gif.FileName = test::WriteSolid(dir / "c.gif", 60, 40, 0xff00ff00);
    LoadPicture(gif);
    EXPECT_TRUE(bitmapItem->Picture().IsBitmap());
    EXPECT_TRUE(bitmapItem->Visible());
    EXPECT_EQ(ItemRect(), (TRect{0, 0, 60, 40}));

    TPDFImage jpeg = Entry(smFullSize, ikJPEG);
    jpeg.FileName = test::WriteSolid(dir / "a.jpg", 50, 20, 0xff0000ff);
    LoadPicture(jpeg);
    EXPECT_TRUE(jpegItem->Picture().IsJpeg());
    EXPECT_TRUE(jpegItem->Visible());
    EXPECT_EQ(jpegItem->BoundsRect(), (TRect{0, 0, 50, 20}));
    EXPECT_EQ(page->Width(), 50 + 42);
}

TEST_F(PageLayoutTest, UndecodableFileReportsTheDecoderAndKeepsThePicture) {
    test::TempDir dir;
    GivePicture(40, 30);
    TPDFImage entry = Entry(smFit, ikBMP);
    entry.FileName = test::WriteSolid(dir / "photo.jpg", 20, 20, 0xffff0000);
    std::filesystem::rename(entry.FileName, dir / "photo.bmp");
    entry.FileName = (dir / "photo.bmp").string();
    EXPECT_THROW(LoadPicture(entry), Exception);
    EXPECT_EQ(bitmapItem->Picture().Width(), 40);
}

// Margins at the ends of the 32-bit range: the page refuses them and keeps its own; a Full Size
// page, which adds the entry's own margins to the picture, is refused by name, never overflowing.
TEST_F(PageLayoutTest, ExtremeMarginsNeverOverflow) {
    constexpr std::int32_t lo = INT32_MIN, hi = INT32_MAX;
    const struct {
        std::int32_t top, bottom, left, right;
        const char* refusedPage;  // what Full Size would make, or nullptr when it is made
    } cases[] = {
        {hi, hi, hi, hi, "4294967396 x 4294967346"}, {lo, lo, lo, lo, "-4294967194 x -4294967244"},
        {20, 20, lo, 20, "-2147483526 x 92"},         {lo, hi, lo, hi, nullptr},  // they cancel out
    };
    GivePicture(100, 50);
    for (const auto& c : cases) {
        for (const TSizeMethod sizing : {smStretch, smFit, smFullSize}) {
            TPDFImage entry = Entry(sizing);
            ApplyMargins(entry, c.top, c.bottom, c.left, c.right);
            std::string refusal;
            try {
                LayoutPage(&entry);
            } catch (const Exception& e) {
                refusal = e.what();
            }
            EXPECT_EQ(refusal, sizing == smFullSize && c.refusedPage ? "No page for the picture of \"unused.bmp\": with "
                                                                       "its margins it would be " +
                                                                           std::string(c.refusedPage) + " points"
                                                                     : "");
            for (const int margin : {page->MarginTop(), page->MarginBottom(), page->MarginLeft(), page->MarginRight()})
                EXPECT_TRUE(margin == 32 || margin == 20) << margin;  // the page's own, or a case's 20
        }
        EXPECT_EQ(page->Width(), c.refusedPage ? 612 : 101);
    }
}

}  // namespace
}  // namespace tovra
