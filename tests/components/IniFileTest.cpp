// The INI helpers: value encoding, matching, where writes land in the file, failed writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "IniTestHelpers.h"
#include "components/Other/IniDocument.h"
#include "common/Exceptions.h"

namespace tovra {
namespace {

using test::ScratchIni;

TEST(IniFile, MissingFileGivesDefaults) {
    ScratchIni ini;
    EXPECT_EQ(IniReadString("S", "K", "dflt", ini.Path()), "dflt");
    EXPECT_EQ(IniReadInteger("S", "K", -7, ini.Path()), -7);
    EXPECT_TRUE(IniReadBool("S", "K", true, ini.Path()));
    EXPECT_FALSE(std::filesystem::exists(ini.Path()));
}

TEST(IniFile, IntegersDecimalAndHexadecimal) {
    ScratchIni ini;
    ini.SetText(
        "[N]\nDec=42\nNeg=-3\nHex=0x10\nHexUpper=0X1f\nDollar=$10\nAll=$FFFFFFFF\nSpaced =  12  \n"
        "Word=yes\nTrail=12abc\nEmpty=\nBare=$\nHuge=2147483648\nMin=-2147483648\nTooHex=0x100000000\n");
    auto read = [&](const char* key) { return IniReadInteger("N", key, 99, ini.Path()); };
    EXPECT_EQ(read("Dec"), 42);
    EXPECT_EQ(read("Neg"), -3);
    EXPECT_EQ(read("Hex"), 16);
    EXPECT_EQ(read("HexUpper"), 31);
    EXPECT_EQ(read("Dollar"), 16);
    EXPECT_EQ(read("All"), -1);
    EXPECT_EQ(read("Spaced"), 12);
    EXPECT_EQ(read("Min"), INT32_MIN);
    for (const char* notNumber : {"Word", "Trail", "Empty", "Bare", "Huge", "TooHex"})
        EXPECT_EQ(read(notNumber), 99) << notNumber;
}

TEST(IniFile, BooleansAreIntegers) {
    ScratchIni ini;
    ini.SetText("[B]\nOne=1\nZero=0\nTwo=2\nYes=yes\n");
    EXPECT_TRUE(IniReadBool("B", "One", false, ini.Path()));
    EXPECT_FALSE(IniReadBool("B", "Zero", true, ini.Path()));
    EXPECT_TRUE(IniReadBool("B", "Two", false, ini.Path()));
    EXPECT_TRUE(IniReadBool("B", "Yes", true, ini.Path()));
    EXPECT_FALSE(IniReadBool("B", "Yes", false, ini.Path()));
}

TEST(IniFile, StringsEmptyMissingAndLong) {
    ScratchIni ini;
    const std::string longValue(3000, 'x');
    // 2046 ASCII bytes and then a two-byte character: the cut must not split it.
    const std::string utf8Value = std::string(2046, 'y') + "\xC3\xA9" + "zz";
    ini.SetText("[S]\nEmpty=\nLong=" + longValue + "\nUtf8=" + utf8Value + "\n");
    EXPECT_EQ(IniReadString("S", "Empty", "dflt", ini.Path()), "");
    EXPECT_EQ(IniReadString("S", "Missing", "dflt", ini.Path()), "dflt");
    EXPECT_EQ(IniReadString("Other", "Empty", "dflt", ini.Path()), "dflt");
    EXPECT_EQ(IniReadString("S", "Long", "", ini.Path()), std::string(2047, 'x'));
    EXPECT_EQ(IniReadString("S", "Utf8", "", ini.Path()), std::string(2046, 'y'));
}

TEST(IniFile, SectionsAndKeysMatchWithoutCase) {
    ScratchIni ini;
    ini.SetText("Loose=1\n; Key=comment\n[appdefaults]\r\nAUTOOPENPDF=0\r\n[Other]\nAutoOpenPDF=5\n");
    EXPECT_EQ(IniReadInteger("AppDefaults", "AutoOpenPDF", 9, ini.Path()), 0);
    EXPECT_EQ(IniReadInteger("OTHER", "autoopenpdf", 9, ini.Path()), 5);
    EXPECT_EQ(IniReadInteger("AppDefaults", "Loose", 9, ini.Path()), 9);
    EXPECT_EQ(IniReadString("appdefaults", "; Key", "none", ini.Path()), "none");

    IniWriteInteger("APPDEFAULTS", "autoOpenPdf", 1, ini.Path());
    EXPECT_EQ(ini.Text(), "Loose=1\n; Key=comment\n[appdefaults]\r\nautoOpenPdf=1\r\n[Other]\nAutoOpenPDF=5\n");
}

TEST(IniFile, WritesBuildTheFileInOrder) {
    ScratchIni ini;
    IniWriteBool("First", "A", true, ini.Path());
    IniWriteString("First", "B", "text with = sign", ini.Path());
    IniWriteInteger("Second", "C", -12, ini.Path());
    IniWriteBool("First", "D", false, ini.Path());  // appended at the end of its section
    IniWriteString("First", "A", "", ini.Path());   // replaced in place
    EXPECT_EQ(ini.Text(), "[First]\nA=\nB=text with = sign\nD=0\n\n[Second]\nC=-12\n");
    EXPECT_EQ(IniReadString("First", "B", "", ini.Path()), "text with = sign");
}

TEST(IniFile, WritingKeepsOtherLines) {
    ScratchIni ini;
    ini.SetText("; made by hand\n[S]\r\nKeep = this \r\nOld=1\r\n\r\n\r\n[T]\nX=1");
    IniWriteString("S", "Old", "2", ini.Path());
    IniWriteString("S", "New", "3", ini.Path());
    IniWriteString("U", "Y", "4", ini.Path());
    EXPECT_EQ(ini.Text(), "; made by hand\n[S]\r\nKeep = this \r\nOld=2\r\nNew=3\n\r\n\r\n[T]\nX=1\n\n[U]\nY=4\n");
    EXPECT_EQ(IniReadString("S", "Keep", "", ini.Path()), "this");
}

TEST(IniFile, LineBreaksInValuesCannotAddKeys) {
    ScratchIni ini;
    IniWriteString("S", "Dir", "/tmp/a\nInjected=1\r\n[Evil]", ini.Path());
    EXPECT_EQ(IniReadString("S", "Injected", "none", ini.Path()), "none");
    EXPECT_EQ(IniReadString("S", "Dir", "", ini.Path()), "/tmp/a Injected=1  [Evil]");
}

TEST(IniFile, EmptyPathMeansDefaultIniFile) {
    ScratchIni ini;
    DefaultIniFile() = ini.Path();
    IniWriteInteger("S", "K", 5);
    EXPECT_EQ(ini.Text(), "[S]\nK=5\n");
    EXPECT_EQ(IniReadInteger("S", "K", 0), 5);
    EXPECT_EQ(IniReadInteger("S", "K", 0, ini.Path()), 5);
}

TEST(IniFile, MissingFolderIsCreated) {
    ScratchIni ini;
    const std::string nested = (ini.Dir() / "config" / "tovrapdf" / "tovrapdf.ini").string();
    IniWriteBool("S", "K", true, nested);
    EXPECT_TRUE(IniReadBool("S", "K", false, nested));
}

// Writes that cannot happen must say so with the path and leave the file as it was. The tests
// may run as root, which writes into read-only folders, so they block the write in ways that
// hold for every user.
TEST(IniFile, FailedWriteReportsThePathAndKeepsTheFile) {
    ScratchIni ini;
    // A parent "folder" that is a file.
    test::WriteFileBytes(ini.Dir() / "plain", "x");
    const std::string underFile = (ini.Dir() / "plain" / "tovrapdf.ini").string();
    try {
        IniWriteBool("S", "K", true, underFile);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + underFile).c_str());
    }
    EXPECT_EQ(test::ReadFileBytes(ini.Dir() / "plain"), "x");

    // The INI path is a folder: nothing may replace it.
    const std::string folder = (ini.Dir() / "folder.ini").string();
    std::filesystem::create_directory(folder);
    EXPECT_THROW(IniWriteBool("S", "K", true, folder), Exception);
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // No path at all.
    DefaultIniFile().clear();
    EXPECT_THROW(IniWriteBool("S", "K", true), Exception);
}

TEST(IniFile, FailedReplaceKeepsTheExistingFile) {
    ScratchIni ini;
    // The temporary file beside a name of the longest allowed length cannot be named, so the
    // replacement fails for every user, root included, while the file itself is there.
    const std::string longName = (ini.Dir() / (std::string(251, 'n') + ".ini")).string();
    test::WriteFileBytes(longName, "[S]\nK=old\n");
    try {
        IniWriteString("S", "K", "new", longName);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + longName).c_str());
    }
    EXPECT_EQ(test::ReadFileBytes(longName), "[S]\nK=old\n");
}

// Files over 1 MB are not read (a damaged or hostile file must not stall the program): their
// values count as missing, and a write replaces the whole file. One of exactly 1 MB is read.
TEST(IniFile, FilesOverOneMegabyteAreNotReadAndAreReplaced) {
    ScratchIni ini;
    const std::string head = "[S]\nK=kept\n;";
    for (const std::size_t size : {IniMaxFileBytes, IniMaxFileBytes + 1}) {
        ini.SetText(head + std::string(size - head.size() - 1, 'x') + "\n");
        ASSERT_EQ(std::filesystem::file_size(ini.Path()), size);
        const bool read = size <= IniMaxFileBytes;
        EXPECT_EQ(TIniDocument(ini.Path()).LoadResult(), read ? TIniLoad::Read : TIniLoad::TooLarge);
        EXPECT_EQ(IniReadString("S", "K", "dflt", ini.Path()), read ? "kept" : "dflt") << size;
        IniWriteString("T", "New", "1", ini.Path());
        if (read) {
            EXPECT_EQ(ini.Text().rfind(head, 0), 0u);
        } else {
            EXPECT_EQ(ini.Text(), "[T]\nNew=1\n");
        }
    }
}

TEST(IniFile, ReadOnlyFolderKeepsTheExistingFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    ScratchIni ini;
    ini.SetText("[S]\nK=old\n");
    namespace fs = std::filesystem;
    fs::permissions(ini.Dir().Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(IniWriteString("S", "K", "new", ini.Path()), Exception);
    fs::permissions(ini.Dir().Path(), fs::perms::owner_all);
    EXPECT_EQ(ini.Text(), "[S]\nK=old\n");
}

}  // namespace
}  // namespace tovra
