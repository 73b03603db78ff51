#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "common/Exceptions.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"

namespace tovra {
namespace {

// A Letter page with margins 20 and a client-aligned panel, as the converter lays pages out.
struct LetterPage {
    TComponent owner;
    TPRPage* page = owner.Make<TPRPage>();
    TPRLayoutPanel* panel = owner.Make<TPRLayoutPanel>();
    LetterPage() {
        page->SetBounds(0, 0, 612, 792);
        test::SetMargins(*page, 20);
        panel->SetParent(page);
        panel->SetAlign(alClient);
    }
    template <class Item>
    Item* AddItem(TPicture picture, int width, int height, bool stretch) {
        auto* item = owner.Make<Item>();
        item->SetParent(panel);
        item->SetBounds(0, 0, width, height);
        item->Picture() = std::move(picture);
        item->SetStretch(stretch);
        item->SharedImage = false;
        return item;
    }
};

std::string ImageName(const std::string& contents) {
    const size_t slash = contents.rfind('/');
    return contents.substr(slash + 1, contents.find(' ', slash) - slash - 1);
}

TEST(ReportImage, StretchedItemFillsItsRectangle) {
    LetterPage letter;
    letter.AddItem<TPRImage>(test::BitmapPicture(test::TestPattern(30, 20)), 570, 750, true);
    test::PrintTarget target;
    letter.page->PrintOn(target.canvas);
    const std::string contents = target.Contents();
    const std::string name = ImageName(contents);
    EXPECT_EQ(contents, "/F0 10 Tf\nq\n570 0 0 750 21 21 cm\n/" + name + " Do\nQ\n");
    EXPECT_NE(target.doc.FindXObject(name), nullptr);
    EXPECT_EQ(name.find_first_not_of("0123456789"), std::string::npos) << name;
}

TEST(ReportImage, NaturalSizeItemIsClippedAtItsEdges) {
    LetterPage letter;
    letter.AddItem<TPRJpegImage>(test::JpegPicture(test::TestPattern(300, 200)), 570, 750, false);
    test::PrintTarget target;
    letter.page->PrintOn(target.canvas);
    const std::string contents = target.Contents();
    EXPECT_EQ(contents, "/F0 10 Tf\nq\n21 21 570 750 re\nW\nn\n300 0 0 200 21 571 cm\n/" + ImageName(contents) + " Do\nQ\n");
}

TEST(ReportImage, ItemsWithoutAPrintablePictureAddNothing) {
    LetterPage letter;
    letter.AddItem<TPRImage>(TPicture(), 100, 100, true);
    letter.AddItem<TPRImage>(test::JpegPicture(test::TestPattern(8, 8)), 100, 100, true);
    auto* hiddenJpeg = letter.AddItem<TPRJpegImage>(test::JpegPicture(test::TestPattern(8, 8)), 100, 100, true);
    hiddenJpeg->Printable = false;
    test::PrintTarget target;
    letter.page->PrintOn(target.canvas);
    EXPECT_EQ(target.Contents(), "/F0 10 Tf\n");
    EXPECT_EQ(ResourceDict(*target.doc.GetCanvas()->GetPage(), "XObject")->ItemCount(), 0);
}

TEST(ReportImage, SetPictureAcceptsOnlyItsOwnKind) {
    TPRImage bitmapItem;
    TPRJpegImage jpegItem;
    try {
        bitmapItem.SetPicture(test::JpegPicture(test::TestPattern(4, 4)));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "only bitmap image is allowed.");
    }
    try {
        jpegItem.SetPicture(test::BitmapPicture(test::TestPattern(4, 4)));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "only jpeg image is allowed.");
    }
    EXPECT_TRUE(bitmapItem.Picture().Empty());
    bitmapItem.SetPicture(test::BitmapPicture(test::TestPattern(4, 4)));
    EXPECT_EQ(bitmapItem.Picture().Width(), 4);
    bitmapItem.SetPicture(TPicture());  // an empty picture empties the item
    EXPECT_TRUE(bitmapItem.Picture().Empty());
}

TEST(ReportImage, UnsharedItemsGetTheirOwnNamesAndSharedOnesOneObject) {
    LetterPage letter;
    letter.AddItem<TPRImage>(test::BitmapPicture(test::TestPattern(5, 5)), 50, 50, true);
    letter.AddItem<TPRImage>(test::BitmapPicture(test::TestPattern(5, 5)), 50, 50, true);
    test::PrintTarget target;
    letter.page->PrintOn(target.canvas);
    EXPECT_EQ(ResourceDict(*target.doc.GetCanvas()->GetPage(), "XObject")->ItemCount(), 2);

    LetterPage shared;
    auto* item = shared.AddItem<TPRImage>(test::BitmapPicture(test::TestPattern(5, 5)), 50, 50, true);
    item->SharedImage = true;
    item->Name = "Logo";
    const int objectsBefore = target.doc.Xref()->EntryCount();
    for (int page = 0; page < 3; ++page) {
        target.doc.AddPage();
        shared.page->PrintOn(target.canvas);
        EXPECT_NE(ResourceDict(*target.doc.GetCanvas()->GetPage(), "XObject")->ValueByKey("Logo"), nullptr);
    }
    // Three pages with their content streams, and a single image object.
    EXPECT_EQ(target.doc.Xref()->EntryCount(), objectsBefore + 3 * 2 + 1);
}

}  // namespace
}  // namespace tovra
