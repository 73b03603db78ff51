// tovrapdf-cli as a user runs it: the PDF read back with pdfinfo, pdfimages and a pdftoppm
// render, exit statuses, what is kept when a run fails, and reproducible output.
#include <gtest/gtest.h>

#include "PdfReadBack.h"
#include "TestSupport.h"
#include "cli/SampleImages.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

class CliEndToEnd : public ::testing::Test {
protected:
    CliEndToEnd() {
        samples::SaveJpeg(samples::Solid(64, 48, 0xff0000ff), Path("a.jpg"), 95);
        samples::SaveBmp(samples::Solid(400, 300, 0xffff0000), Path("b.bmp"));
        samples::SaveGif(samples::Solid(300, 200, 0xff00ff00), Path("c.gif"));
    }

    // Runs the tool with the arguments (already quoted where needed); stdout and stderr together.
    test::CommandResult Cli(const std::string& args, const std::string& environment = "") {
        return test::RunCommand(environment + " " + test::ShellQuote(TOVRAPDF_CLI) + " " + args);
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Quoted(const std::string& name) const { return test::ShellQuote(Path(name)); }

    test::TempDir dir;
};

bool Near(QRgb pixel, QRgb expected) {
    return std::abs(qRed(pixel) - qRed(expected)) < 40 && std::abs(qGreen(pixel) - qGreen(expected)) < 40 &&
           std::abs(qBlue(pixel) - qBlue(expected)) < 40;
}

TEST_F(CliEndToEnd, ThreeKindsReadBack) {
    const auto run = Cli("-o " + Quoted("out.pdf") + " " + Quoted("a.jpg") + " " + Quoted("b.bmp") + " " +
                         Quoted("c.gif"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");  // no terminal: no progress
    EXPECT_QPDF_CLEAN(dir / "out.pdf");

    const auto sizes = test::PageSizes(dir / "out.pdf");
    ASSERT_EQ(sizes.size(), 3u);
    for (const auto& size : sizes) {
        EXPECT_EQ(size.Width, 612);
        EXPECT_EQ(size.Height, 792);
    }
    const auto images = test::ListImages(dir / "out.pdf");
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].Encoding, "jpeg");
    EXPECT_EQ(images[1].Encoding, "image");
    EXPECT_EQ(images[1].Color, "rgb");
    EXPECT_EQ(images[2].Encoding, "image");
    EXPECT_EQ(images[2].Color, "index");
}

TEST_F(CliEndToEnd, PicturesWhereThePageLayoutPutsThem) {
    // Fit at natural size on Letter, then Full Size on A4 landscape with margins 20.
    ASSERT_EQ(Cli("-o " + Quoted("fit.pdf") + " " + Quoted("b.bmp")).exitCode, 0);
    ASSERT_EQ(Cli("-s full -p a4 --landscape -o " + Quoted("full.pdf") + " " + Quoted("c.gif")).exitCode, 0);
    ASSERT_EQ(Cli("-s stretch -m 40,20,60,20 -o " + Quoted("stretch.pdf") + " " + Quoted("a.jpg")).exitCode, 0);

    const QImage fit = test::RenderPage(dir / "fit.pdf", 1);
    ASSERT_EQ(fit.size(), QSize(612, 792));
    // 400 x 300 at (21, 21): inside red, outside white.
    EXPECT_TRUE(Near(fit.pixel(22, 22), 0xffff0000));
    EXPECT_TRUE(Near(fit.pixel(419, 319), 0xffff0000));
    EXPECT_TRUE(Near(fit.pixel(19, 19), 0xffffffff));
    EXPECT_TRUE(Near(fit.pixel(423, 150), 0xffffffff));
    EXPECT_TRUE(Near(fit.pixel(200, 323), 0xffffffff));

    const QImage full = test::RenderPage(dir / "full.pdf", 1);
    EXPECT_EQ(full.size(), QSize(342, 242));
    EXPECT_TRUE(Near(full.pixel(22, 22), 0xff00ff00));
    EXPECT_TRUE(Near(full.pixel(319, 219), 0xff00ff00));
    EXPECT_TRUE(Near(full.pixel(10, 10), 0xffffffff));

    // Stretched over the content area 530 x 730 at (61, 41).
    const QImage stretch = test::RenderPage(dir / "stretch.pdf", 1);
    EXPECT_TRUE(Near(stretch.pixel(62, 42), 0xff0000ff));
    EXPECT_TRUE(Near(stretch.pixel(589, 769), 0xff0000ff));
    EXPECT_TRUE(Near(stretch.pixel(59, 400), 0xffffffff));
    EXPECT_TRUE(Near(stretch.pixel(300, 39), 0xffffffff));
}

TEST_F(CliEndToEnd, FailingFirstImageKeepsTheExistingFile) {
    test::WriteFileBytes(dir / "out.pdf", "previous");
    const auto run = Cli("-f -o " + Quoted("out.pdf") + " " + Quoted("gone.jpg") + " " + Quoted("b.bmp"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "tovrapdf-cli: Image file not found: \"" + Path("gone.jpg") + "\"\n");
    EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "previous");

    EXPECT_EQ(Cli("-o " + Quoted("new.pdf") + " " + Quoted("gone.jpg")).exitCode, 1);
    EXPECT_FALSE(fs::exists(dir / "new.pdf"));
}

TEST_F(CliEndToEnd, FailingThirdOfFiveKeepsTwoPages) {
    const auto run = Cli("-o " + Quoted("out.pdf") + " " + Quoted("a.jpg") + " " + Quoted("b.bmp") + " " +
                         Quoted("gone.gif") + " " + Quoted("c.gif") + " " + Quoted("a.jpg"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("tovrapdf-cli: Image file not found:"), std::string::npos);
    EXPECT_EQ(test::PageSizes(dir / "out.pdf").size(), 2u);
    EXPECT_QPDF_CLEAN(dir / "out.pdf");
}

TEST_F(CliEndToEnd, ExitStatuses) {
    const std::string img = " " + Quoted("b.bmp");
    EXPECT_EQ(Cli("--version").exitCode, 0);
    EXPECT_EQ(Cli("--help").exitCode, 0);
    EXPECT_EQ(Cli("--bogus -o " + Quoted("x.pdf") + img).exitCode, 2);
    EXPECT_EQ(Cli("-p Postcard -o " + Quoted("x.pdf") + img).exitCode, 2);
    EXPECT_EQ(Cli("-m 1,2 -o " + Quoted("x.pdf") + img).exitCode, 2);
    EXPECT_EQ(Cli(img).exitCode, 2);  // no output
    EXPECT_EQ(Cli("-o " + Quoted("x.pdf")).exitCode, 2);  // no image
    const auto onlyUnsupported = Cli("-o " + Quoted("x.pdf") + " " + Quoted("notes.txt"));
    EXPECT_EQ(onlyUnsupported.exitCode, 2);
    EXPECT_NE(onlyUnsupported.output.find("skipping"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "x.pdf"));

    // An existing output needs --force, and is left alone without it.
    test::WriteFileBytes(dir / "x.pdf", "keep me");
    const auto exists = Cli("-o " + Quoted("x.pdf") + img);
    EXPECT_EQ(exists.exitCode, 1);
    EXPECT_NE(exists.output.find("use --force"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(dir / "x.pdf"), "keep me");
    EXPECT_EQ(Cli("--force -o " + Quoted("x.pdf") + img).exitCode, 0);
    EXPECT_QPDF_CLEAN(dir / "x.pdf");
}

TEST_F(CliEndToEnd, SourceDateEpochMakesIdenticalFilesInAnyTimeZone) {
    const std::string images = " " + Quoted("a.jpg") + " " + Quoted("b.bmp") + " " + Quoted("c.gif") + " " +
                               Quoted("a.jpg") + " " + Quoted("c.gif");
    const std::string meta = " --title 'Café' --author Ann ";
    ASSERT_EQ(Cli("-o " + Quoted("1.pdf") + meta + images, "SOURCE_DATE_EPOCH=1700000000 TZ=UTC-9").exitCode, 0);
    ASSERT_EQ(Cli("-o " + Quoted("2.pdf") + meta + images, "SOURCE_DATE_EPOCH=1700000000 TZ=UTC+5").exitCode, 0);
    const std::string first = test::ReadFileBytes(dir / "1.pdf");
    EXPECT_EQ(first, test::ReadFileBytes(dir / "2.pdf"));
    // 2023-11-14 22:13:20 UTC for both dates, said to be UTC.
    EXPECT_NE(first.find("/CreationDate (D:20231114221320Z)"), std::string::npos);
    EXPECT_NE(first.find("/ModDate (D:20231114221320Z)"), std::string::npos);
    EXPECT_QPDF_CLEAN(dir / "1.pdf");
}

TEST_F(CliEndToEnd, TurnedPhotosUprightUnlessSwitchedOff) {
    const auto help = Cli("--help");
    EXPECT_NE(help.output.find("--no-auto-orient"), std::string::npos);
    // A photo without an orientation tag gives the same file either way.
    const std::string fixed = "SOURCE_DATE_EPOCH=1700000000";
    ASSERT_EQ(Cli("-o " + Quoted("on.pdf") + " " + Quoted("a.jpg"), fixed).exitCode, 0);
    ASSERT_EQ(Cli("--no-auto-orient -o " + Quoted("off.pdf") + " " + Quoted("a.jpg"), fixed).exitCode, 0);
    EXPECT_EQ(test::ReadFileBytes(dir / "on.pdf"), test::ReadFileBytes(dir / "off.pdf"));

    if (test::CorpusDir().empty()) GTEST_SKIP() << "corpus absent";
    // Stored 1200 x 1800, shown turned a quarter clockwise: 1800 x 1200 upright.
    const std::string photo = test::ShellQuote((test::CorpusDir() / "jpeg" / "Landscape_6.jpg").string());
    ASSERT_EQ(Cli("-s full -m 0 -o " + Quoted("turned.pdf") + " " + photo).exitCode, 0);
    ASSERT_EQ(Cli("--no-auto-orient -s full -m 0 -o " + Quoted("stored.pdf") + " " + photo).exitCode, 0);
    const auto turned = test::PageSizes(dir / "turned.pdf");
    const auto stored = test::PageSizes(dir / "stored.pdf");
    ASSERT_EQ(turned.size(), 1u);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(turned[0].Width, 1802);
    EXPECT_EQ(turned[0].Height, 1202);
    EXPECT_EQ(stored[0].Width, 1202);
    EXPECT_EQ(stored[0].Height, 1802);
    EXPECT_QPDF_CLEAN(dir / "turned.pdf");
}

}  // namespace
}  // namespace tovra
