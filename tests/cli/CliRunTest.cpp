// tovrapdf-cli run in-process: progress lines, warnings, the paper list, refused settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sstream>

#include "PdfReadBack.h"
#include "TestSupport.h"
#include "cli/CliRun.h"
#include "cli/SampleImages.h"
#include "imaging/ImageErrors.h"
#include "imaging/ImageFormats.h"
#include "imaging/RecordImage.h"

namespace tovra::cli {
namespace {

class CliRunTest : public ::testing::Test {
protected:
    CliRunTest() {
        samples::SaveBmp(samples::Solid(8, 8, 0xff808080), (dir / "a.bmp").string());
        samples::SaveGif(samples::Solid(8, 8, 0xff808080), (dir / "b.GIF").string());
    }

    int Run(std::vector<std::string> args, bool terminal = false, std::function<int()> stopSignal = {}) {
        out.str("");
        err.str("");
        TCliEnvironment env;
        env.ProgressToTerminal = terminal;
        env.StopSignal = std::move(stopSignal);
        return RunCli(args, out, err, env);
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    test::TempDir dir;
    std::ostringstream out, err;
};

TEST_F(CliRunTest, ProgressOnlyToATerminalAndNotWhenQuiet) {
    EXPECT_EQ(Run({"-o", Path("1.pdf"), Path("a.bmp"), Path("notes.txt"), Path("b.GIF")}, true), kExitWritten);
    EXPECT_EQ(err.str(), "tovrapdf-cli: skipping '" + Path("notes.txt") +
                             "': not a BMP, GIF, JPEG, PNG, TIFF, WebP or HEIF file\n[1/2] a.bmp\n[2/2] b.GIF\n");
    EXPECT_EQ(Run({"-q", "-o", Path("2.pdf"), Path("a.bmp")}, true), kExitWritten);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(Run({"-o", Path("3.pdf"), Path("a.bmp")}, false), kExitWritten);
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(out.str().empty());
}

// A stand-in TIFF reader: every file has three pages, page n an (n + 1) x 2 grey picture; a
// file named bad.tif fails on its second page. And a HEIF reader giving a 16 x 16 photo.
int ThreePages(const std::string&) { return 3; }

std::unique_ptr<TGraphic> Record(const std::string& path, int width, TColorModel color, bool photo) {
    auto record = std::make_shared<TImageRecord>();
    record->Width = width;
    record->Height = width > 3 ? width : 2;
    record->Color = color;
    record->PhotoSamples = photo;
    record->Bytes = std::make_shared<const std::string>(record->RowBytes() * record->Height, '\x60');
    return std::make_unique<TRecordImage>(std::move(record), path);
}

std::unique_ptr<TGraphic> LoadTiffPage(const std::string& path, int page) {
    if (page == 1 && path.find("bad.tif") != std::string::npos) ThrowImageError("TIFF", path, "broken strip");
    return Record(path, page + 1, TColorModel::Gray, false);
}

std::unique_ptr<TGraphic> LoadPhoto(const std::string& path, int) { return Record(path, 16, TColorModel::RGB, true); }

TEST_F(CliRunTest, AMultiPageTiffGivesItsPagesInOrderAndNamesThem) {
    const TImageFormatOverride tiff(ikTIFF, LoadTiffPage, ThreePages);
    test::WriteFileBytes(dir / "scan.tif", "pages");
    test::WriteFileBytes(dir / "bad.tif", "pages");
    EXPECT_EQ(Run({"--progress", "-o", Path("1.pdf"), Path("a.bmp"), Path("scan.tif")}), kExitWritten);
    EXPECT_EQ(err.str(), "[1/4] a.bmp\n[2/4] scan.tif (1/3)\n[3/4] scan.tif (2/3)\n[4/4] scan.tif (3/3)\n");
    std::vector<int> widths;
    for (const test::TListedImage& image : test::ListImages(dir / "1.pdf")) widths.push_back(image.Width);
    EXPECT_EQ(widths, std::vector<int>({8, 1, 2, 3}));

    EXPECT_EQ(Run({"-o", Path("2.pdf"), Path("bad.tif")}), kExitFailed);
    EXPECT_EQ(err.str(), "tovrapdf-cli: Cannot read TIFF file \"" + Path("bad.tif") + "\": broken strip (page 2 of 3)\n");
    EXPECT_EQ(test::ListImages(dir / "2.pdf").size(), 1u);  // the page before the failure is kept
}

TEST_F(CliRunTest, PhotosAreJpegUnlessExactPixelsAreAsked) {
    const TImageFormatOverride heif(ikHEIF, LoadPhoto, nullptr);
    test::WriteFileBytes(dir / "photo.HEIC", "photo");
    EXPECT_EQ(Run({"-o", Path("1.pdf"), Path("photo.HEIC")}), kExitWritten);
    EXPECT_EQ(test::ListImages(dir / "1.pdf").at(0).Encoding, "jpeg");
    EXPECT_EQ(Run({"--lossless-decoded", "-o", Path("2.pdf"), Path("photo.HEIC")}), kExitWritten);
    EXPECT_EQ(test::ListImages(dir / "2.pdf").at(0).Encoding, "image");
}

TEST_F(CliRunTest, ProgressOnRequestWithoutATerminal) {
    EXPECT_EQ(Run({"--progress", "-o", Path("1.pdf"), Path("a.bmp"), Path("b.GIF")}), kExitWritten);
    EXPECT_EQ(err.str(), "[1/2] a.bmp\n[2/2] b.GIF\n");
    EXPECT_EQ(Run({"--progress", "-q", "-o", Path("2.pdf"), Path("a.bmp")}), kExitWritten);
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliRunTest, AStopSignalEndsTheRunWithoutWritingAndExitsWithItsStatus) {
    std::vector<std::string> rows = {"-f", "-o", Path("out.pdf")};
    for (int i = 0; i < 5; ++i) rows.push_back(Path("a.bmp"));
    test::WriteFileBytes(dir / "out.pdf", "previous");

    // Signalled while the second page is made: the run stops after it.
    int asked = 0;
    EXPECT_EQ(Run(rows, false, [&] { return ++asked >= 2 ? SIGTERM : 0; }), kExitSignalBase + SIGTERM);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(err.str(), "tovrapdf-cli: stopped by SIGTERM; no PDF was written\n");

    // Signalled after the last page, while the file is written: it does not replace the old one.
    asked = 0;
    EXPECT_EQ(Run(rows, false, [&] { return ++asked > 5 ? SIGINT : 0; }), 130);
    EXPECT_EQ(asked, 6);
    EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "previous");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.bmp", "b.GIF", "out.pdf"}));

    EXPECT_EQ(Run(rows, false, [] { return 0; }), kExitWritten);
    EXPECT_NE(test::ReadFileBytes(dir / "out.pdf"), "previous");
}

TEST_F(CliRunTest, ListsTheBuiltInPapersWithoutAPrinter) {
    EXPECT_EQ(Run({"--list-papers"}), kExitWritten);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n') + 1), "Letter\t612\t792\n");
    EXPECT_NE(out.str().find("\nA4\t595\t842\n"), std::string::npos);
}

TEST_F(CliRunTest, IgnoredMarginsAreAUsageErrorNoRoomFailsTheRun) {
    // Letter landscape is 792 wide: 395 is the largest margin it takes.
    EXPECT_EQ(Run({"-o", Path("x.pdf"), "--landscape", "-m", "395", Path("a.bmp")}), kExitFailed);  // no room left
    EXPECT_NE(err.str().find("No room for the picture of \"" + Path("a.bmp") + "\""), std::string::npos);
    EXPECT_EQ(Run({"-o", Path("x.pdf"), "--landscape", "-m", "10,10,396,10", Path("a.bmp")}), kExitUsage);
    EXPECT_NE(err.str().find("margin 396 is not below half the page width (792 points)"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.pdf"));
}

TEST_F(CliRunTest, PaperNamesMatchWithoutRegardToCase) {
    EXPECT_EQ(Run({"-o", Path("x.pdf"), "-p", "b5 (jis)", Path("a.bmp")}), kExitWritten) << err.str();
    EXPECT_EQ(Run({"-o", Path("y.pdf"), "-p", "A7", Path("a.bmp")}), kExitUsage);
    EXPECT_NE(err.str().find("unknown paper 'A7'"), std::string::npos);
}

// Without -p the page is the system's paper (libpaper); -p always wins.
TEST_F(CliRunTest, TheSystemsPaperIsTheDefaultAndDashPWins) {
    const test::ScopedEnv size("PAPERSIZE", "a4");
    ASSERT_EQ(Run({"-o", Path("a4.pdf"), Path("a.bmp")}), kExitWritten) << err.str();
    ASSERT_EQ(Run({"-o", Path("letter.pdf"), "-p", "letter", Path("a.bmp")}), kExitWritten) << err.str();
    const auto a4 = test::PageSizes(dir / "a4.pdf");
    const auto letter = test::PageSizes(dir / "letter.pdf");
    ASSERT_EQ(a4.size(), 1u);
    ASSERT_EQ(letter.size(), 1u);
    EXPECT_EQ(std::make_pair(a4[0].Width, a4[0].Height), std::make_pair(595.0, 842.0));
    EXPECT_EQ(std::make_pair(letter[0].Width, letter[0].Height), std::make_pair(612.0, 792.0));
}

TEST_F(CliRunTest, BadSourceDateEpochIsAUsageError) {
    TCliEnvironment env;
    env.SourceDateEpoch = "yesterday";
    EXPECT_EQ(RunCli({"-o", Path("x.pdf"), Path("a.bmp")}, out, err, env), kExitUsage);
    EXPECT_NE(err.str().find("SOURCE_DATE_EPOCH"), std::string::npos);
}

}  // namespace
}  // namespace tovra::cli
