// The creation run: one page per entry in order, the file's pages and images read back with
// the PDF tools, and what is written (or kept) when an entry or the file fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>

#include "ConversionFixtures.h"
#include "PdfReadBack.h"
#include "TestSupport.h"
#include "common/Exceptions.h"
#include "convert/CreationRun.h"
#include "convert/ImageKinds.h"
#include "convert/PageLayout.h"
#include "report/PReport.h"

namespace tovra {
namespace {

using test::LetterEntry;
using test::WriteSolid;

std::vector<const TPDFImage*> Rows(const std::vector<TPDFImage>& entries) {
    std::vector<const TPDFImage*> rows;
    for (const TPDFImage& entry : entries) rows.push_back(&entry);
    return rows;
}

class CreationRunTest : public ::testing::Test {
protected:
    CreationRunTest() { ConfigureReport(report); }

    // Runs the Create PDF command into out.pdf with a fixed clock; returns its failure, "" on success.
    std::string Create(const std::vector<TPDFImage>& entries, TCreateOptions options = {}) {
        options.Clock = [] { return EncodeDateTime(2024, 1, 2, 3, 4, 5); };
        try {
            CreatePdf(report, Rows(entries), out.string(), options);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    test::TempDir dir;
    std::filesystem::path out = dir / "out.pdf";
    TPReport report;
};

TEST_F(CreationRunTest, OnePagePerEntryInOrderWithTheirEncodings) {
    const std::vector<TPDFImage> entries = {
        LetterEntry(WriteSolid(dir / "a.jpg", 64, 48, 0xff3060c0), ikJPEG, smFit),
        LetterEntry(WriteSolid(dir / "b.bmp", 32, 32, 0xffc03030), ikBMP, smFit),
        LetterEntry(WriteSolid(dir / "c.gif", 20, 10, 0xff30c030), ikGIF, smFit),
    };
    std::vector<std::string> seen;
    const test::TimeZone tokyo("JST-9");  // readers elsewhere show the right moment
    TCreateOptions options;
    options.Build.OnRow = [&seen](int index, int count, const TPDFImage& entry) {
        seen.push_back(std::to_string(index) + "/" + std::to_string(count) + " " + FileNamePart(entry.FileName));
    };
    ASSERT_EQ(Create(entries, options), "");
    EXPECT_EQ(seen, (std::vector<std::string>{"0/3 a.jpg", "1/3 b.bmp", "2/3 c.gif"}));
    EXPECT_QPDF_CLEAN(out);

    const auto images = test::ListImages(out);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].Page, 1);
    EXPECT_EQ(images[0].Encoding, "jpeg");
    EXPECT_EQ(images[0].Width, 64);
    EXPECT_EQ(images[1].Page, 2);
    EXPECT_EQ(images[1].Encoding, "image");
    EXPECT_EQ(images[2].Page, 3);
    EXPECT_EQ(images[2].Encoding, "image");
    EXPECT_EQ(images[2].Color, "index");

    const std::string bytes = test::ReadFileBytes(out);
    EXPECT_NE(bytes.find("/Creator (Tovra PDF version 1.1)"), std::string::npos);
    EXPECT_NE(bytes.find("/CreationDate (D:20240102030405+09'00')"), std::string::npos);
    EXPECT_NE(bytes.find("/ModDate (D:20240102030405+09'00')"), std::string::npos);
    EXPECT_NE(bytes.find("/PageLayout /SinglePage"), std::string::npos);
    EXPECT_FALSE(report.HasDocument());
}

TEST_F(CreationRunTest, PagesTakeTheirOwnPaperAndPlacement) {
    const std::string wide = WriteSolid(dir / "wide.bmp", 1000, 500, 0xff0000ff);
    std::vector<TPDFImage> entries = {
        LetterEntry(wide, ikBMP, smFit),
        LetterEntry(wide, ikBMP, smStretch),
        LetterEntry(WriteSolid(dir / "small.bmp", 300, 200, 0xff00ff00), ikBMP, smFullSize),
    };
    ApplyPaper(entries[1], "A4", 595, 842, false);
    ASSERT_EQ(Create(entries), "");
    EXPECT_QPDF_CLEAN(out);

    const auto sizes = test::PageSizes(out);
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[0].Width, 612);
    EXPECT_EQ(sizes[0].Height, 792);
    EXPECT_EQ(sizes[1].Width, 842);
    EXPECT_EQ(sizes[1].Height, 595);
    EXPECT_EQ(sizes[2].Width, 342);
    EXPECT_EQ(sizes[2].Height, 242);

    const std::string content = test::UncompressedPdf(out);
    // Fit, the width limits: 570 x 285 at the content area's top-left corner.
    EXPECT_NE(content.find("570 0 0 285 21 486 cm"), std::string::npos);
    // Stretch on A4 landscape: the whole content area, 800 x 553.
    EXPECT_NE(content.find("800 0 0 553 21 21 cm"), std::string::npos);
    // Full Size: natural size, clipped to the item.
    EXPECT_NE(content.find("21 21 300 200 re"), std::string::npos);
    EXPECT_NE(content.find("300 0 0 200 21 21 cm"), std::string::npos);
}

TEST_F(CreationRunTest, MissingThirdOfFiveKeepsTheFirstTwoPages) {
    std::vector<TPDFImage> entries;
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp", "4.bmp", "5.bmp"})
        entries.push_back(LetterEntry(WriteSolid(dir / name, 8, 8, 0xff808080), ikBMP, smFit));
    std::filesystem::remove(entries[2].FileName);
    bool opened = false;
    TCreateOptions options;
    options.OpenFile = [&opened](const std::string&) { opened = true; };
    EXPECT_EQ(Create(entries, options), "Image file not found: \"" + entries[2].FileName + "\"");
    EXPECT_FALSE(opened);
    EXPECT_EQ(test::PageSizes(out).size(), 2u);
    EXPECT_QPDF_CLEAN(out);
    EXPECT_FALSE(report.HasDocument());
}

TEST_F(CreationRunTest, FailingFirstEntryWritesNothingAndKeepsAnExistingFile) {
    const std::vector<TPDFImage> entries = {
        LetterEntry((dir / "gone.jpg").string(), ikJPEG, smFit),
        LetterEntry(WriteSolid(dir / "b.bmp", 8, 8, 0xff808080), ikBMP, smFit),
    };
    EXPECT_EQ(Create(entries), "Image file not found: \"" + (dir / "gone.jpg").string() + "\"");
    EXPECT_FALSE(std::filesystem::exists(out));

    test::WriteFileBytes(out, "the previous file");
    EXPECT_EQ(Create(entries), "Image file not found: \"" + (dir / "gone.jpg").string() + "\"");
    EXPECT_EQ(test::ReadFileBytes(out), "the previous file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);  // no temporary left
}

TEST_F(CreationRunTest, ACancelledRunWritesNothingAndKeepsTheExistingFile) {
    std::vector<TPDFImage> entries;
    for (const char* name : {"1.bmp", "2.jpg", "3.gif"})
        entries.push_back(LetterEntry(WriteSolid(dir / name, 8, 8, 0xff808080), ImageKindOfFile(name), smFit));
    test::WriteFileBytes(out, "the previous file");

    // Asked after each page and once more before the file would be put in place.
    for (const int cancelAt : {1, 2, 4}) {
        int asked = 0;
        int rowsStarted = 0;
        bool opened = false;
        TCreateOptions options;
        options.Build.OnRow = [&](int, int, const TPDFImage&) { ++rowsStarted; };
        options.Build.Cancelled = [&] { return ++asked == cancelAt; };
        options.OpenFile = [&opened](const std::string&) { opened = true; };
        EXPECT_THROW(CreatePdf(report, Rows(entries), out.string(), options), ERunCancelled) << cancelAt;
        EXPECT_EQ(asked, cancelAt);
        EXPECT_EQ(rowsStarted, std::min(cancelAt, 3));
        EXPECT_FALSE(opened);
        EXPECT_FALSE(report.HasDocument());
        EXPECT_EQ(test::ReadFileBytes(out), "the previous file");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);  // no temporary left
    }
    // The last look is taken out again: the report's next run writes as usual.
    EXPECT_FALSE(report.WriteOptions.BeforeCommit);
    EXPECT_EQ(Create(entries), "");
    EXPECT_EQ(test::PageSizes(out).size(), 3u);
}

TEST_F(CreationRunTest, RunningOutOfMemoryFailsThatEntryByNameAndKeepsThePagesBefore) {
    std::vector<TPDFImage> entries;
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp"})
        entries.push_back(LetterEntry(WriteSolid(dir / name, 8, 8, 0xff808080), ikBMP, smFit));
    TCreateOptions options;
    // An allocation that fails while the third row is being made.
    options.Build.OnRow = [](int index, int, const TPDFImage&) {
        if (index == 2) throw std::bad_alloc();
    };
    EXPECT_EQ(Create(entries, options), "Not enough memory for the picture of \"" + entries[2].FileName + "\"");
    EXPECT_EQ(test::PageSizes(out).size(), 2u);
    EXPECT_QPDF_CLEAN(out);
}

TEST_F(CreationRunTest, EntryAndFileFailingReportsBoth) {
    const std::vector<TPDFImage> entries = {
        LetterEntry(WriteSolid(dir / "a.bmp", 8, 8, 0xff808080), ikBMP, smFit),
        LetterEntry((dir / "gone.bmp").string(), ikBMP, smFit),
    };
    out = dir / "no-such-folder" / "out.pdf";
    try {
        TPReport fresh;
        ConfigureReport(fresh);
        fresh.FileName = out.string();
        BuildPdf(fresh, Rows(entries));
        FAIL() << "no failure";
    } catch (const ECreationRunFailed& e) {
        EXPECT_EQ(e.RowFailure(), "Image file not found: \"" + (dir / "gone.bmp").string() + "\"");
        EXPECT_EQ(e.FinishFailure(), "Cannot create file " + out.string() + ": No such file or directory");
        EXPECT_EQ(std::string(e.what()), e.RowFailure() + "\n" + e.FinishFailure());
    }
}

TEST_F(CreationRunTest, FileThatCannotBeCreatedFailsAndTheReportCanRunAgain) {
    const std::vector<TPDFImage> entries = {LetterEntry(WriteSolid(dir / "a.bmp", 8, 8, 0xff808080), ikBMP, smFit)};
    const std::filesystem::path good = out;
    out = dir / "no-such-folder" / "out.pdf";
    EXPECT_EQ(Create(entries), "Cannot create file " + out.string() + ": No such file or directory");
    out = good;
    EXPECT_EQ(Create(entries), "");
    EXPECT_EQ(test::PageSizes(out).size(), 1u);
}

TEST_F(CreationRunTest, MarginsLeavingNoRoomFailTheEntryByName) {
    std::vector<TPDFImage> entries = {
        LetterEntry(WriteSolid(dir / "a.bmp", 8, 8, 0xff808080), ikBMP, smFit),
        LetterEntry(WriteSolid(dir / "b.gif", 8, 8, 0xff808080), ikGIF, smFit),
    };
    ApplyPaper(entries[1], "Letter", 612, 792, false);
    ApplyMargins(entries[1], 305, 305, 20, 20);
    const std::string failure = Create(entries);
    EXPECT_NE(failure.find("No room for the picture of \"" + entries[1].FileName + "\""), std::string::npos)
        << failure;
    EXPECT_EQ(test::PageSizes(out).size(), 1u);
}

// An entry whose margins are the ends of the 32-bit range: Stretch and Fit pages keep the
// preview's margins; a Full Size page is refused by name, and a first row refused writes nothing.
TEST_F(CreationRunTest, ExtremeMarginsAreRefusedWithoutOverflow) {
    std::vector<TPDFImage> entries;
    for (const TSizeMethod sizing : {smStretch, smFit, smFullSize}) {
        entries.push_back(LetterEntry(WriteSolid(dir / ("s" + std::to_string(sizing) + ".bmp"), 8, 8, 0xff808080),
                                      ikBMP, sizing));
        ApplyMargins(entries.back(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    }
    EXPECT_EQ(Create(entries), "No page for the picture of \"" + entries[2].FileName +
                                   "\": with its margins it would be 4294967304 x -4294967286 points");
    const auto sizes = test::PageSizes(out);
    ASSERT_EQ(sizes.size(), 2u);
    for (const test::TPageSize& size : sizes) EXPECT_EQ(std::make_pair(size.Width, size.Height), std::make_pair(612.0, 792.0));
    std::filesystem::remove(out);
    EXPECT_NE(Create({entries[2]}), "");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CreationRunTest, RefusedMarginLeavesThePreviewMarginInForce) {
    std::vector<TPDFImage> entries = {LetterEntry(WriteSolid(dir / "a.bmp", 8, 8, 0xff808080), ikBMP, smStretch)};
    entries[0].MarginLeft = 400;  // refused by a 612-wide page
    TCreateOptions options;
    options.Build.PreviewMargins = {10, 10, 50, 10};
    ASSERT_EQ(Create(entries, options), "");
    // Left 50 from the preview, the others the entry's 20: 612 - 50 - 20 - 2 = 540 wide at x 51.
    EXPECT_NE(test::UncompressedPdf(out).find("540 0 0 750 51 21 cm"), std::string::npos);
}

TEST_F(CreationRunTest, OpensTheFileOnlyWhenAskedAndWritten) {
    const std::vector<TPDFImage> entries = {LetterEntry(WriteSolid(dir / "a.bmp", 8, 8, 0xff808080), ikBMP, smFit)};
    std::string opened;
    TCreateOptions options;
    options.OpenFile = [&opened](const std::string& path) { opened = path; };
    ASSERT_EQ(Create(entries, options), "");
    EXPECT_EQ(opened, out.string());

    opened.clear();
    std::filesystem::remove(out);
    EXPECT_EQ(Create({}, options), "");  // no entries: nothing happens
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CreationRunTest, EntriesAreNotChangedAndNullRowsAreSkipped) {
    const TPDFImage entry = LetterEntry(WriteSolid(dir / "a.bmp", 30, 20, 0xff808080), ikBMP, smFullSize);
    report.FileName = out.string();
    ASSERT_NO_THROW(BuildPdf(report, {nullptr, &entry, nullptr}));
    EXPECT_EQ(entry.Page, nullptr);
    EXPECT_EQ(entry.BitmapItem, nullptr);
    EXPECT_EQ(entry.PageWidth, 612);
    EXPECT_EQ(test::PageSizes(out).size(), 1u);
}

}  // namespace
}  // namespace tovra
