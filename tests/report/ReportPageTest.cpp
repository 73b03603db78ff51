#include <gtest/gtest.h>

#include <vector>

#include "ReportFixtures.h"
#include "common/Exceptions.h"
#include "report/PRItem.h"
#include "report/PRPanels.h"

namespace tovra {
namespace {

// An item that records the rectangles it is printed with.
class RecordingItem : public TPRItem {
public:
    RecordingItem(TComponent* owner, std::vector<std::string>* log, std::string tag)
        : TPRItem(owner), log_(log), tag_(std::move(tag)) {}
    void PrintItem(TPRCanvas&, const TRect& rect) override {
        log_->push_back(tag_ + " " + std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," +
                        std::to_string(rect.Right) + "," + std::to_string(rect.Bottom));
    }

private:
    std::vector<std::string>* log_;
    std::string tag_;
};

TEST(ReportPage, ContentRectAndClientAlignedPanelFollowSizeAndMargins) {
    TComponent owner;
    auto* page = owner.Make<TPRPage>();
    EXPECT_EQ(page->Width(), 596);
    EXPECT_EQ(page->Height(), 842);
    EXPECT_EQ(page->MarginTop(), 32);
    page->SetBounds(0, 0, 612, 792);
    test::SetMargins(*page, 20);
    auto* panel = owner.Make<TPRLayoutPanel>();
    panel->SetParent(page);
    panel->SetAlign(alClient);
    EXPECT_EQ(page->ContentRect(), (TRect{21, 21, 591, 771}));
    EXPECT_EQ(panel->BoundsRect(), (TRect{21, 21, 591, 771}));

    panel->SetWidth(10);  // a client-aligned panel cannot be sized by hand
    EXPECT_EQ(panel->Width(), 570);
    page->SetMarginLeft(50);
    EXPECT_EQ(panel->BoundsRect(), (TRect{51, 21, 591, 771}));
    page->SetBounds(0, 0, 842, 595);
    EXPECT_EQ(panel->BoundsRect(), (TRect{51, 21, 821, 574}));
}

TEST(ReportPage, MarginsOutsideTheAllowedRangeAreIgnoredSilently) {
    TPRPage page;
    page.SetBounds(0, 0, 612, 792);
    page.SetMarginTop(306);  // not below half the width
    EXPECT_EQ(page.MarginTop(), 32);
    page.SetMarginTop(305);
    EXPECT_EQ(page.MarginTop(), 305);
    page.SetMarginLeft(-5);
    EXPECT_EQ(page.MarginLeft(), 32);

    page.SetBounds(0, 0, 400, 900);
    page.SetMarginBottom(250);  // half the width counts, even for the bottom margin
    EXPECT_EQ(page.MarginBottom(), 32);
}

TEST(ReportPage, PrintingSetsTheMediaBoxAndWalksChildrenInOrder) {
    TComponent owner;
    std::vector<std::string> log;
    auto* page = owner.Make<TPRPage>();
    page->SetBounds(0, 0, 300, 200);
    auto* outer = owner.Make<TPRLayoutPanel>();
    outer->SetParent(page);
    outer->SetBounds(21, 21, 200, 150);
    auto* inner = owner.Make<TPRLayoutPanel>();
    inner->SetParent(outer);  // added before the item, printed after it
    inner->SetBounds(10, 20, 50, 50);
    auto* deep = owner.Make<RecordingItem>(&log, "deep");
    deep->SetParent(inner);
    deep->SetBounds(1, 2, 10, 10);
    auto* item = owner.Make<RecordingItem>(&log, "item");
    item->SetParent(outer);
    item->SetBounds(0, 0, 100, 50);
    auto* hidden = owner.Make<RecordingItem>(&log, "hidden");
    hidden->SetParent(outer);
    hidden->SetVisible(false);
    auto* unprintable = owner.Make<RecordingItem>(&log, "unprintable");
    unprintable->SetParent(outer);
    unprintable->Printable = false;

    std::vector<std::string> events;
    outer->BeforePrint = [&](TPRPanel&, TPRCanvas&, const TRect& r) { events.push_back("before " + std::to_string(r.Left)); };
    outer->AfterPrint = [&](TPRPanel&, TPRCanvas&, const TRect&) { events.push_back("after"); };
    page->OnPrintPage = [&](TPRPage&, TPRCanvas&) { events.push_back("page"); };

    test::PrintTarget target;
    page->PrintOn(target.canvas);
    const TPdfArray* mediaBox = target.doc.GetCanvas()->GetPage()->ArrayByKey("MediaBox");
    TMemoryStream written;
    const_cast<TPdfArray*>(mediaBox)->WriteValue(written);
    EXPECT_EQ(written.Bytes(), "[0 0 300 200 ]");
    EXPECT_EQ(log, (std::vector<std::string>{"item 21,21,121,71", "hidden 21,21,121,51", "deep 32,43,42,53"}));
    EXPECT_EQ(events, (std::vector<std::string>{"page", "before 21", "after"}));
}

TEST(ReportPage, ParentsAreCheckedByKind) {
    TComponent owner;
    auto* page = owner.Make<TPRPage>();
    auto* panel = owner.Make<TPRLayoutPanel>();
    auto* item = owner.Make<TPRItem>();
    auto* stranger = owner.Make<TControl>();

    try {
        panel->SetParent(stranger);
        FAIL() << "a layout panel accepted a plain control";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TPRPage can not set on TControl");
    }
    EXPECT_EQ(panel->Parent(), nullptr);
    panel->SetParent(page);

    try {
        item->SetParent(page);
        FAIL() << "an item accepted a page";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "this component must set on TPRPanel");
    }
    EXPECT_EQ(item->Parent(), nullptr);

    auto* grid = owner.Make<TPRGridPanel>();
    item->SetParent(grid);
    EXPECT_EQ(item->Parent(), grid->ChildPanel());
    auto* nested = owner.Make<TPRLayoutPanel>();
    nested->SetParent(grid);
    EXPECT_EQ(nested->Parent(), grid->ChildPanel());
    EXPECT_EQ(item->HostPage(), nullptr);
    grid->SetParent(page);
    EXPECT_EQ(item->HostPage(), page);
}

TEST(ReportPage, GridPanelChecksCountsAndPrintsCellsInDirection) {
    TComponent owner;
    auto* grid = owner.Make<TPRGridPanel>();
    grid->SetBounds(0, 0, 300, 300);
    try {
        grid->SetColCount(31);  // 300 div 31 = 9 points a cell
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "invalid colcount");
    }
    EXPECT_EQ(grid->ColCount(), 1);
    grid->SetColCount(30);
    EXPECT_EQ(grid->ChildPanel()->Width(), 10);
    EXPECT_THROW(grid->SetRowCount(0), Exception);

    grid->SetColCount(2);
    grid->SetRowCount(3);
    grid->PrintDirection = pdVert;
    std::vector<std::string> cells;
    grid->BeforePrintChild = [&](TPRPanel&, TPRCanvas&, int col, int row, const TRect& r) {
        cells.push_back(std::to_string(col) + std::to_string(row) + "@" + std::to_string(r.Left) + "," + std::to_string(r.Top));
    };
    test::PrintTarget target;
    grid->PrintPanel(target.canvas, {5, 7, 305, 307});
    EXPECT_EQ(cells, (std::vector<std::string>{"00@5,7", "01@5,107", "02@5,207", "10@155,7", "11@155,107", "12@155,207"}));
}

}  // namespace
}  // namespace tovra
