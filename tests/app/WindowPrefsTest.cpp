// The window's preferences: read at start and applied, written when the window closes (not on
// Exit), and a failed write keeping the window open with its list.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "MainWindowFixture.h"
#include "components/Other/IniDocument.h"
#include "report/PRPage.h"

namespace tovra::test {
namespace {

using WindowPrefs = MainWindowTest;

TEST_F(WindowPrefs, ClosingWritesTheIniFileInItsOrder) {
    auto& w = MakeWindow();
    w.AddImageFiles({"/pics/a.jpg"});
    w.cbFullPath->click();
    EXPECT_TRUE(w.close());
    const std::string expected = "[AppDefaults]\n"
                                 "AutoOpenPDF=1\n"
                                 "ShowPicPreviewDialog=1\n"
                                 "ShowFullPaths=1\n"
                                 "ShowPreview=1\n"
                                 "DefaultSaveDir=" + dir.Path().string() + "/\n";
    const std::string written = ReadFileBytes(IniPath());
    EXPECT_EQ(written.substr(0, expected.size()), expected);
    EXPECT_NE(written.find("[PDFDefaults]\nSizeMethod=1\nPaperName=Letter\nPaperPortrait=1\nMarginLeft=20\n"
                           "MarginRight=20\nMarginTop=20\nMarginBottom=20\n"),
              std::string::npos)
        << written;
    EXPECT_EQ(w.RowCount(), 0);  // closing releases the list
}

TEST_F(WindowPrefs, AFailedWriteKeepsTheWindowOpenWithItsList) {
    std::filesystem::create_directory(IniPath());  // a folder where the file should be
    auto& w = MakeWindow();
    w.AddImageFiles({"/pics/a.jpg"});
    w.show();
    EXPECT_FALSE(w.close());
    EXPECT_EQ(dialogs->Errors(), QStringList({QString::fromStdString("Unable to write to " + IniPath().string() + ".")}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.RowCount(), 1);
}

TEST_F(WindowPrefs, AppliesWhatTheFileSays) {
    auto& w = MakeWindow(
        "[AppDefaults]\nAutoOpenPDF=yes\nShowPicPreviewDialog=0\nShowFullPaths=1\nDefaultSaveDir=/srv/pdf/\n"
        "[PDFDefaults]\nSizeMethod=257\nPaperName=a4\nPaperPortrait=0\nMarginTop=0x10\n");
    EXPECT_TRUE(w.Prefs.AutoOpenPDF);  // not a number: the default
    EXPECT_FALSE(w.UsesPicturePreviewDialog());
    EXPECT_TRUE(w.cbFullPath->isChecked());
    EXPECT_EQ(w.SaveDialogDirectory(), "/srv/pdf/");
    EXPECT_TRUE(w.cbFit->isChecked());  // 257 cut to 8 bits
    EXPECT_EQ(w.cbPaper->currentText(), "A4");
    EXPECT_TRUE(w.cbLandscape->isChecked());
    w.AddImageFiles({"/pics/a.jpg"});
    EXPECT_EQ(w.EntryOf(0)->MarginTop, 16);
    EXPECT_EQ(w.EntryOf(0)->PageWidth, 842);
    EXPECT_EQ(w.EntryOf(0)->FileName, "/pics/a.jpg");
    // Applying at start ran with Updating set: the placeholder took nothing.
    EXPECT_EQ(w.CurrentImage()->PageWidth, 0);
}

TEST_F(WindowPrefs, ASizeMethodOutsideTheModesLeavesNoButtonAndGivesFullSize) {
    auto& w = MakeWindow("[PDFDefaults]\nSizeMethod=7\nPaperName=Nonexistent\n");
    w.show();
    QApplication::processEvents();
    EXPECT_FALSE(w.cbStretch->isChecked() || w.cbFit->isChecked() || w.cbFull->isChecked());
    EXPECT_EQ(w.cbPaper->currentIndex(), 0);
    w.AddImageFiles({"/pics/a.bmp"});
    EXPECT_EQ(w.EntryOf(0)->SizeMethod, smFullSize);
}

// A preferences file over 1 MB is not read: the window starts with the defaults, says so once
// (not again when the preferences dialog makes it read the file), and closing replaces the file.
TEST_F(WindowPrefs, AFileTooLargeIsReportedOnceAndReplacedOnClose) {
    auto& w = MakeWindow("[PDFDefaults]\nMarginTop=5\n;" + std::string(IniMaxFileBytes, 'x') + "\n");
    QApplication::processEvents();
    const QString message = TfrmPDFMain::TooLargeIniMessage(IniPath().string()) + ".";
    EXPECT_EQ(dialogs->Errors(), QStringList{message});
    EXPECT_EQ(w.edtMarginTop->text(), "20");
    w.ReadPrefsIntoWindow();
    QApplication::processEvents();
    EXPECT_EQ(dialogs->Errors().size(), 1);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ReadFileBytes(IniPath()).rfind("[AppDefaults]\nAutoOpenPDF=1\n", 0), 0u);
    EXPECT_LT(std::filesystem::file_size(IniPath()), 400u);
}

// Stored margins at the ends of the 32-bit range come back as the default and never reach the
// preview page; typed ones are kept by the entry and refused by the page.
TEST_F(WindowPrefs, ExtremeMarginsInTheFileGiveTheDefault) {
    auto& w = MakeWindow("[PDFDefaults]\nMarginRight=-2147483648\nMarginBottom=2147483647\nSizeMethod=2\n"
                         "MarginTop=-100000\nMarginLeft=100001\n");
    EXPECT_EQ(w.edtMarginRight->text(), "20");
    EXPECT_EQ(w.edtMarginBottom->text(), "20");
    EXPECT_EQ(w.edtMarginTop->text(), "-100000");  // within reach: kept, and refused by the page
    EXPECT_EQ(w.edtMarginLeft->text(), "20");
    w.ShowImage(w.AddImageFiles({QString::fromStdString(Picture("a.bmp", 100, 50))}));
    EXPECT_EQ(w.prpView->MarginRight(), 20);
    EXPECT_EQ(w.prpView->Width(), 100 + 2 + 40);
    EXPECT_EQ(w.prpView->Height(), 50 + 2 + 20 - 100000);
}

// Without a stored paper the window starts on the system's (libpaper); a stored one wins.
TEST_F(WindowPrefs, TheSystemsPaperIsTheDefaultAndAStoredOneWins) {
    const ScopedEnv size("PAPERSIZE", "a4");
    auto& w = MakeWindow();
    EXPECT_EQ(w.cbPaper->currentText(), "A4");
    EXPECT_EQ(w.Prefs.PDFDefaults->PaperName, "A4");
    w.AddImageFiles({"/pics/a.jpg"});
    EXPECT_EQ(w.EntryOf(0)->PageWidth, 595);
    window.reset();
    EXPECT_EQ(MakeWindow("[PDFDefaults]\nPaperName=legal\n").cbPaper->currentText(), "Legal");
}

TEST_F(WindowPrefs, ExitWritesNothing) {
    auto& w = MakeWindow();
    w.cbFullPath->click();
    // Exit leaves the event loop without the closing steps; no loop runs here, so only the
    // absence of a write is visible.
    w.aExit->trigger();
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

}  // namespace
}  // namespace tovra::test
