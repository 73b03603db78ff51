// The preferences file: defaults, the exact text of a first write, reading odd values back.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/Exceptions.h"
#include "components/Other/IniFile.h"
#include "convert/Prefs.h"

namespace tovra {
namespace {

class PrefsTest : public ::testing::Test {
protected:
    void SetUp() override { prefs.PDFDefaults = &defaults; }
    std::string Ini() const { return (dir / "tovrapdf.ini").string(); }
    void SetIni(const std::string& text) const { test::WriteFileBytes(Ini(), text); }

    test::TempDir dir;
    TPDFImage defaults;
    TPrefsRecord prefs;
};

TEST_F(PrefsTest, NoFileGivesTheDefaults) {
    ReadPrefs(prefs, "/opt/tovra/", Ini());
    EXPECT_TRUE(prefs.AutoOpenPDF);
    EXPECT_TRUE(prefs.ShowPicPreviewDialog);
    EXPECT_FALSE(prefs.ShowFullPaths);
    EXPECT_TRUE(prefs.ShowPreview);
    EXPECT_EQ(prefs.DefaultSaveDir, "/opt/tovra/");
    EXPECT_TRUE(prefs.AutoOrient);
    EXPECT_FALSE(prefs.CompactBitmaps);
    EXPECT_EQ(defaults.SizeMethod, smFit);
    EXPECT_EQ(defaults.PaperName, "Letter");
    EXPECT_TRUE(defaults.PaperPortrait);
    EXPECT_EQ(defaults.MarginLeft, 20);
    EXPECT_EQ(defaults.MarginRight, 20);
    EXPECT_EQ(defaults.MarginTop, 20);
    EXPECT_EQ(defaults.MarginBottom, 20);
}

TEST_F(PrefsTest, FirstWriteText) {
    ReadPrefs(prefs, "/opt/tovra/", Ini());
    prefs.ShowFullPaths = true;
    defaults.MarginBottom = -3;
    WritePrefs(prefs, Ini());
    EXPECT_EQ(test::ReadFileBytes(Ini()),
              "[AppDefaults]\n"
              "AutoOpenPDF=1\n"
              "ShowPicPreviewDialog=1\n"
              "ShowFullPaths=1\n"
              "ShowPreview=1\n"
              "DefaultSaveDir=/opt/tovra/\n"
              "AutoOrient=1\n"
              "LosslessDecoded=0\n"
              "CompactBitmaps=0\n"
              "\n"
              "[PDFDefaults]\n"
              "SizeMethod=1\n"
              "PaperName=Letter\n"
              "PaperPortrait=1\n"
              "MarginLeft=20\n"
              "MarginRight=20\n"
              "MarginTop=20\n"
              "MarginBottom=-3\n");

    // Everything written reads back the same.
    TPDFImage readDefaults;
    TPrefsRecord readBack;
    readBack.PDFDefaults = &readDefaults;
    ReadPrefs(readBack, "", Ini());
    EXPECT_TRUE(readBack.ShowFullPaths);
    EXPECT_EQ(readBack.DefaultSaveDir, "/opt/tovra/");
    EXPECT_EQ(readDefaults.MarginBottom, -3);
}

TEST_F(PrefsTest, OddValues) {
    SetIni("[appdefaults]\nAutoOpenPDF=yes\nshowpreview=0\nDefaultSaveDir=\nAutoOrient=0\nCompactBitmaps=2\n"
           "[PDFDefaults]\nSizeMethod=257\nPaperName=A4\nPaperPortrait=0x0\nMarginTop=0x10\nMarginLeft=$10\n"
           "MarginRight=12.9\n");
    ReadPrefs(prefs, "/opt/tovra/", Ini());
    EXPECT_TRUE(prefs.AutoOpenPDF);
    EXPECT_FALSE(prefs.ShowPreview);
    EXPECT_EQ(prefs.DefaultSaveDir, "");
    EXPECT_FALSE(prefs.AutoOrient);
    EXPECT_TRUE(prefs.CompactBitmaps);
    EXPECT_EQ(defaults.SizeMethod, smFit);
    EXPECT_EQ(defaults.PaperName, "A4");
    EXPECT_FALSE(defaults.PaperPortrait);
    EXPECT_EQ(defaults.MarginTop, 16);
    EXPECT_EQ(defaults.MarginLeft, 16);
    EXPECT_EQ(defaults.MarginRight, 20);
}

TEST_F(PrefsTest, SizeMethodOutsideTheModesIsKept) {
    SetIni("[PDFDefaults]\nSizeMethod=7\n");
    ReadPrefs(prefs, "", Ini());
    EXPECT_EQ(static_cast<int>(defaults.SizeMethod), 7);
    SetIni("[PDFDefaults]\nSizeMethod=-1\n");
    ReadPrefs(prefs, "", Ini());
    EXPECT_EQ(static_cast<int>(defaults.SizeMethod), 255);
}

TEST_F(PrefsTest, UsesDefaultIniFile) {
    const std::string saved = DefaultIniFile();
    DefaultIniFile() = Ini();
    ReadPrefs(prefs, "/d/");
    WritePrefs(prefs);
    DefaultIniFile() = saved;
    EXPECT_NE(test::ReadFileBytes(Ini()).find("DefaultSaveDir=/d/\n"), std::string::npos);
}

TEST_F(PrefsTest, FailedWriteNamesTheFile) {
    test::WriteFileBytes(dir / "plain", "");
    const std::string path = (dir / "plain" / "tovrapdf.ini").string();
    ReadPrefs(prefs, "", path);
    try {
        WritePrefs(prefs, path);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + path).c_str());
    }
}

TEST_F(PrefsTest, CopyTakesFlagsDirectoryAndPageSettings) {
    ReadPrefs(prefs, "/src/", Ini());
    prefs.ShowFullPaths = true;
    prefs.AutoOrient = false;
    prefs.CompactBitmaps = true;
    defaults.SizeMethod = smStretch;
    defaults.PaperName = "A5";
    defaults.PaperPortrait = false;
    defaults.MarginLeft = 1;
    defaults.MarginRight = 2;
    defaults.MarginTop = 3;
    defaults.MarginBottom = 4;
    defaults.FileName = "not copied";
    defaults.PageWidth = 99;

    TPDFImage targetDefaults;
    TPrefsRecord target;
    target.PDFDefaults = &targetDefaults;
    CopyPrefs(prefs, target);
    EXPECT_TRUE(target.AutoOpenPDF);
    EXPECT_TRUE(target.ShowFullPaths);
    EXPECT_FALSE(target.AutoOrient);
    EXPECT_TRUE(target.CompactBitmaps);
    EXPECT_EQ(target.DefaultSaveDir, "/src/");
    EXPECT_EQ(target.PDFDefaults, &targetDefaults);
    EXPECT_EQ(targetDefaults.SizeMethod, smStretch);
    EXPECT_EQ(targetDefaults.PaperName, "A5");
    EXPECT_FALSE(targetDefaults.PaperPortrait);
    EXPECT_EQ(targetDefaults.MarginLeft, 1);
    EXPECT_EQ(targetDefaults.MarginRight, 2);
    EXPECT_EQ(targetDefaults.MarginTop, 3);
    EXPECT_EQ(targetDefaults.MarginBottom, 4);
    EXPECT_EQ(targetDefaults.FileName, "");
    EXPECT_EQ(targetDefaults.PageWidth, 0);
}

TEST_F(PrefsTest, RecordWithoutDefaultsEntryIsRefused) {
    TPrefsRecord bare;
    EXPECT_THROW(ReadPrefs(bare, "", Ini()), EInvalidOperation);
    EXPECT_THROW(WritePrefs(bare, Ini()), EInvalidOperation);
    EXPECT_THROW(CopyPrefs(prefs, bare), EInvalidOperation);
    EXPECT_FALSE(std::filesystem::exists(Ini()));
}

}  // namespace
}  // namespace tovra
