// Reading the command line of tovrapdf-cli.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliOptions.h"
#include "imaging/ImageFormats.h"

namespace tovra::cli {
namespace {

TEST(CliOptions, DefaultsAndImagesInOrder) {
    const TCliOptions o = ParseCommandLine({"b.jpg", "-o", "out.pdf", "a.bmp"});
    EXPECT_EQ(o.Output, "out.pdf");
    EXPECT_EQ(o.Images, (std::vector<std::string>{"b.jpg", "a.bmp"}));
    EXPECT_EQ(o.Paper, "");  // the system's paper
    EXPECT_TRUE(o.Portrait);
    EXPECT_EQ(o.Sizing, smFit);
    EXPECT_EQ(o.Margins.Top, 20);
    EXPECT_EQ(o.Margins.Right, 20);
    EXPECT_FALSE(o.Force);
    EXPECT_FALSE(o.Quiet);
    EXPECT_TRUE(o.AutoOrient);
    EXPECT_FALSE(ParseCommandLine({"--no-auto-orient", "a.jpg"}).AutoOrient);
    EXPECT_FALSE(o.CompactBitmaps);
    EXPECT_TRUE(ParseCommandLine({"--compact", "a.bmp"}).CompactBitmaps);
}

// The manual page and the README say what the help (made from the table of kinds) says of each
// kind, and the desktop entry offers the program for every kind's MIME types.
TEST(CliOptions, DocumentsFollowTheTableOfKinds) {
    const std::string man = test::ReadFileBytes(TOVRA_SOURCE_DIR "/data/man/tovrapdf-cli.1");
    const std::string readme = test::ReadFileBytes(TOVRA_SOURCE_DIR "/README.md");
    const std::string desktop = test::ReadFileBytes(TOVRA_SOURCE_DIR "/data/tovrapdf.desktop");
    std::string mimeTypes = "\nMimeType=";
    for (const TImageFormat& format : ImageFormats()) {
        const std::string handling(format.Handling);
        EXPECT_NE(man.find("\n" + handling + "\n"), std::string::npos) << handling;
        EXPECT_NE(readme.find("| " + handling + " |"), std::string::npos) << handling;
        for (std::string_view type : format.MimeTypes) mimeTypes += std::string(type) + ";";
    }
    EXPECT_NE(desktop.find(mimeTypes + "\n"), std::string::npos) << mimeTypes;
}

TEST(CliOptions, ValueFormsAndGroupedFlags) {
    const TCliOptions o = ParseCommandLine(
        {"--output=x.pdf", "-fqpA4", "--landscape", "-s", "full", "--margins=1,2,3,4", "--title", "Holiday",
         "--author=Ann", "--", "-odd.gif"});
    EXPECT_EQ(o.Output, "x.pdf");
    EXPECT_TRUE(o.Force);
    EXPECT_TRUE(o.Quiet);
    EXPECT_EQ(o.Paper, "A4");
    EXPECT_FALSE(o.Portrait);
    EXPECT_EQ(o.Sizing, smFullSize);
    EXPECT_EQ(o.Margins.Top, 1);
    EXPECT_EQ(o.Margins.Bottom, 2);
    EXPECT_EQ(o.Margins.Left, 3);
    EXPECT_EQ(o.Margins.Right, 4);
    EXPECT_EQ(o.Title, "Holiday");
    EXPECT_EQ(o.Author, "Ann");
    EXPECT_EQ(o.Images, (std::vector<std::string>{"-odd.gif"}));
    EXPECT_TRUE(ParseCommandLine({"--landscape", "--portrait"}).Portrait);
    EXPECT_EQ(ParseCommandLine({"-ofile.pdf"}).Output, "file.pdf");
    EXPECT_EQ(ParseCommandLine({"-s", "stretch"}).Sizing, smStretch);
}

TEST(CliOptions, MarginsAreOneOrFourWholePoints) {
    const TMargins all = ParseMargins("0");
    EXPECT_EQ(all.Top + all.Bottom + all.Left + all.Right, 0);
    for (const char* bad : {"", "-1", "12.5", "1,2", "1,2,3", "1,2,3,4,5", "1,,3,4", "x", "99999999999"})
        EXPECT_THROW(ParseMargins(bad), EUsage) << bad;
}

TEST(CliOptions, RefusesWhatItCannotFollow) {
    using Args = std::vector<std::string>;
    for (const Args& args : {Args{"--nope"}, Args{"-x"}, Args{"-o"}, Args{"--paper"}, Args{"-s", "tiny"},
                             Args{"--force=yes"}, Args{"-m", "-5"}, Args{"--output="}})
        EXPECT_THROW(ParseCommandLine(args), EUsage) << args[0];
}

}  // namespace
}  // namespace tovra::cli
