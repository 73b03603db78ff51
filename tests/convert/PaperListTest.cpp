// The paper box: sizes in points from tenths of a millimetre, filling order and selection,
// name lookup, and what a failing or empty printer leaves behind.
#include "convert/PaperList.h"

#include "common/Exceptions.h"
#include "components/Other/PaperForms.h"
#include "components/Other/StandardPapers.h"
#include "FakePrinter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace tovra {
namespace {

using test::Printer;

TEST(PaperPoints, StandardFormsGetTheirUsualPointSizes) {
    struct Case { const char* name; int width, height; int x, y; };
    const Case cases[] = {
        {"A4", 2100, 2970, 595, 842},     {"Letter", 2159, 2794, 612, 792}, {"Legal", 2159, 3556, 612, 1008},
        {"A3", 2970, 4200, 842, 1191},    {"A5", 1480, 2100, 419, 595},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PaperWidthToPoints(c.width), c.x) << c.name;
        EXPECT_EQ(PaperHeightToPoints(c.height), c.y) << c.name;
    }
}

TEST(PaperPoints, WidthAndHeightUseTheirOwnDivisor) {
    EXPECT_EQ(PaperWidthToPoints(4200), 1190);
    EXPECT_EQ(PaperHeightToPoints(4200), 1191);
    EXPECT_EQ(PaperWidthToPoints(0), 0);
}

TEST(FillPaperList, KeepsThePrinterOrderAndSelectsTheFirst) {
    TPaperList list;
    list.Add("left over", {1, 2});
    FillPaperList(list, Printer({{"Letter", 2159, 2794}, {"A4", 2100, 2970}, {"A3", 2970, 4200}}));

    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(0), "Letter");
    EXPECT_EQ(list.Text(1), "A4");
    EXPECT_EQ(list.Text(2), "A3");
    EXPECT_EQ(list.Object(1), (TPointObj{595, 842}));
    EXPECT_EQ(list.Object(2), (TPointObj{842, 1191}));
    EXPECT_EQ(list.ItemIndex(), 0);
    ASSERT_NE(list.SelectedObject(), nullptr);
    EXPECT_EQ(*list.SelectedObject(), (TPointObj{612, 792}));
}

TEST(FillPaperList, LongNamesKeepTheirFirst63Characters) {
    const std::string name70(70, 'x');
    TPaperList list;
    FillPaperList(list, Printer({{name70, 2100, 2970}}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Text(0), name70.substr(0, 63));
}

TEST(FillPaperList, PrinterWithoutPapersLeavesAnEmptyBoxWithNothingSelected) {
    TPaperList list;
    list.Add("old", {1, 2});
    list.SetItemIndex(0);
    FillPaperList(list, Printer({}));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.SelectedObject(), nullptr);
}

TEST(FillPaperList, InconsistentPrinterFailsAndLeavesTheBoxEmpty) {
    TPaperList list;
    list.Add("old", {1, 2});
    const TPaperSource broken = [](int) {
        TPrinterPapers papers;
        papers.Names = {"A4", "A5"};
        papers.Codes = {9};
        papers.Sizes = {{2100, 2970}};
        return papers;
    };
    try {
        FillPaperList(list, broken);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "DeviceCapabilities reports different number of papers and paper names!");
    }
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(FillPaperList, WithoutASourceUsesTheDefaultOne) {
    const TPaperSourceOverride pinned(Printer({{"Tabloid", 2794, 4318}}));
    TPaperList list;
    FillPaperList(list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Text(0), "Tabloid");
    EXPECT_EQ(list.Object(0), (TPointObj{792, 1224}));
}

TEST(PaperList, FindsItemsByWholeNameIgnoringCase) {
    TPaperList list;
    list.Add("A4", {595, 842});
    list.Add("B5 (JIS)", {516, 729});
    list.Add("Enveloppe Élan", {1, 1});
    EXPECT_EQ(list.IndexOf("a4"), 0);
    EXPECT_EQ(list.IndexOf("b5 (jis)"), 1);
    EXPECT_EQ(list.IndexOf("ENVELOPPE éLAN"), 2);
    EXPECT_EQ(list.IndexOf("A"), -1);
    EXPECT_EQ(list.IndexOf("A4 "), -1);
    EXPECT_EQ(list.IndexOf(""), -1);
}

TEST(PaperList, IndexesOutsideTheListSelectNothingAndCannotBeRead) {
    TPaperList list;
    list.Add("A4", {595, 842});
    list.SetItemIndex(0);
    list.SetItemIndex(1);
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_THROW(list.Text(1), EListError);
    EXPECT_THROW(list.Object(-1), EListError);
}

// The default paper: the system's, found in the list by name or by size, else Letter.
TEST(DefaultPaper, TheSystemsPaperByNameOrBySizeElseLetter) {
    TPaperList list;
    FillPaperList(list, [](int) { return PrinterPapersFromForms(StandardPaperForms()); });
    const struct {
        std::optional<TSystemPaper> system;
        const char* expected;
    } cases[] = {
        {std::nullopt, "Letter"},
        {TSystemPaper{"a4", 595.276, 841.89}, "A4"},
        {TSystemPaper{"LEGAL", 612, 1008}, "Legal"},
        {TSystemPaper{"11x17", 792, 1224}, "Tabloid"},        // by size
        {TSystemPaper{"halfletter", 396, 612}, "Statement"},  // by size
        {TSystemPaper{"b5", 498.898, 708.661}, "Letter"},     // ISO B5 is not B5 (JIS)
        {TSystemPaper{"nonsense", 0, 0}, "Letter"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultPaperName(list, c.system), c.expected) << (c.system ? c.system->Name : "none");
}

// What libpaper reads: $PAPERSIZE first, else the file $PAPERCONF names.
TEST(DefaultPaper, FollowsPapersizeAndPaperconf) {
    TPaperList list;
    FillPaperList(list, [](int) { return PrinterPapersFromForms(StandardPaperForms()); });
    test::TempDir dir;
    test::WriteFileBytes(dir / "papersize", "a5\n");
    const test::ScopedEnv conf("PAPERCONF", (dir / "papersize").string());
    for (const char* size : {"a4", "letter"}) {
        const test::ScopedEnv given("PAPERSIZE", size);
        EXPECT_EQ(DefaultPaperName(list), size == std::string("a4") ? "A4" : "Letter");
    }
    const test::ScopedEnv none("PAPERSIZE", std::nullopt);
    EXPECT_EQ(DefaultPaperName(list), "A5");
}

}  // namespace
}  // namespace tovra
