#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "ReportFixtures.h"
#include "TestSupport.h"
#include "common/Exceptions.h"
#include "report/PReport.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

void ExpectRefused(const std::function<void()>& set, const char* message) {
    try {
        set();
        FAIL() << "accepted while a document is open: " << message;
    } catch (const EPdfInvalidOperation& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Report, SettingsAreRefusedWhileADocumentIsOpen) {
    TPReport report;
    EXPECT_EQ(report.FileName, "default.pdf");
    EXPECT_EQ(report.Title(), "");
    report.SetTitle("Before");
    report.SetNonFullScreenPageMode(pmFullScreen);
    EXPECT_EQ(report.NonFullScreenPageMode(), pmUseNone);

    report.BeginReport();
    ExpectRefused([&] { report.SetTitle("During"); }, "SetTitle --invalid operation.");
    ExpectRefused([&] { report.SetAuthor("x"); }, "SetAuthor --invalid operation.");
    ExpectRefused([&] { report.SetKeywords("x"); }, "SetKeyWords --invalid operation.");
    ExpectRefused([&] { report.SetCreationDate(1); }, "SetCreationDate --invalid operation.");
    ExpectRefused([&] { report.SetModDate(1); }, "SetModDate --invalid operation.");
    ExpectRefused([&] { report.SetCreator("x"); }, "SetCreator --invalid operation.");
    ExpectRefused([&] { report.SetSubject("x"); }, "SetSubject --invalid operation.");
    ExpectRefused([&] { report.SetPageLayout(plOneColumn); }, "SetPageLayout --invalid operation.");
    ExpectRefused([&] { report.SetPageMode(pmUseThumbs); }, "SetPageMode --invalid operation.");
    ExpectRefused([&] { report.SetNonFullScreenPageMode(pmUseThumbs); }, "SetNonFullScreenPageMode --invalid operation.");
    ExpectRefused([&] { report.SetUseOutlines(true); }, "SetUseOutlines --invalid operation.");
    ExpectRefused([&] { report.SetViewerPreference(1); }, "SetViewerPreference --invalid operation.");
    EXPECT_EQ(report.Title(), "Before");
    report.AbortReport();
    report.SetTitle("After");
    EXPECT_EQ(report.Title(), "After");
}

TEST(Report, WritesOnePagePerPrintedPageWithTheSettings) {
    test::TempDir dir;
    TPReport report;
    report.FileName = (dir / "ignored.pdf").string();
    report.SetTitle("Caf\xC3\xA9");
    report.SetCreator("Tovra PDF version 1.1");
    report.SetViewerPreference(ViewerPreferenceBit(vpFitWindow));
    report.BeginReport();
    report.BeginReport();  // drops the first document without a file
    TPRPage page;
    page.SetBounds(0, 0, 300, 200);
    report.PrintPage(page);
    TPRDestination* top = report.CreateDestination();
    report.SetOpenAction(top);
    report.FileName = (dir / "out.pdf").string();  // the name at the end decides
    report.EndReport();
    EXPECT_FALSE(report.HasDocument());

    const std::string pdf = test::ReadFileBytes(dir / "out.pdf");
    EXPECT_NE(pdf.find("/Author ()\r\n"), std::string::npos);
    EXPECT_NE(pdf.find("/Title <FEFF00430061006600E9>"), std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [0 0 300 200 ]"), std::string::npos);
    EXPECT_NE(pdf.find("/OpenAction [4 0 R /XYZ 0 210 1 ]"), std::string::npos);
    EXPECT_NE(pdf.find("/ViewerPreferences <<\r\n/FitWindow true\r\n>>"), std::string::npos);
    EXPECT_EQ(pdf.find("NonFullScreenPageMode"), std::string::npos);
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"out.pdf"});
    EXPECT_QPDF_CLEAN(dir / "out.pdf");
    const auto info = test::RunCommand("pdfinfo " + test::ShellQuote((dir / "out.pdf").string()));
    EXPECT_NE(info.output.find("Caf\xC3\xA9"), std::string::npos) << info.output;

    try {
        report.EndReport();
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "document is null..");
    }
    try {
        report.CreateDestination();
        FAIL();
    } catch (const EPdfInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "CreateDestination --invalid operation.");
    }
}

TEST(Report, AFailedWriteLeavesAnExistingFileUntouched) {
    test::TempDir dir;
    const fs::path target = dir / "keep.pdf";
    test::WriteFileBytes(target, "precious bytes");
    TPReport report;
    report.FileName = target.string();
    report.BeginReport();  // no page: saving fails
    try {
        report.EndReport();
        FAIL();
    } catch (const EPdfInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "SaveToStream --there is no document to save.");
    }
    EXPECT_EQ(test::ReadFileBytes(target), "precious bytes");
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"keep.pdf"});
    EXPECT_TRUE(report.HasDocument());  // still open; the next begin or abort closes it
}

TEST(Report, AnUnwritableTargetIsReportedByPath) {
    test::TempDir dir;
    TPRPage page;
    TPReport report;
    const std::string longName(300, 'n');
    const struct {
        fs::path target;
        std::string reason;
    } cases[] = {
        {dir / "missing-folder" / "x.pdf", "No such file or directory"},
        {dir.Path(), "it is a folder"},
        {dir / (longName + ".pdf"), "File name too long"},
    };
    for (const auto& c : cases) {
        report.FileName = c.target.string();
        report.BeginReport();
        report.PrintPage(page);
        try {
            report.EndReport();
            FAIL() << c.target;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Cannot create file " + c.target.string() + ": " + c.reason);
        }
    }
    report.AbortReport();
    EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

}  // namespace
}  // namespace tovra
