// The preferences dialog: OK writes the dialog's record exactly, Cancel writes nothing, the
// margin fields report on leaving, the folder picker, the paper box, a failed write.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "app/dialogs/PDFPrefs.h"
#include "app/dialogs/ReportingEdit.h"
#include "components/Other/IniFile.h"
#include "components/Other/PrintUtils.h"
#include "FakePrinter.h"

namespace tovra {
namespace {

using test::Printer;

class PrefsDialogTest : public ::testing::Test {
protected:
    PrefsDialogTest() : papers_(Printer({{"Letter", 2159, 2794}, {"A4", 2100, 2970}, {"A5", 1480, 2100}})) {
        savedIni_ = DefaultIniFile();
        DefaultIniFile() = Ini();
        mainPrefs.PDFDefaults = &mainDefaults;
        mainPrefs.AutoOpenPDF = false;
        mainPrefs.ShowPicPreviewDialog = true;
        mainPrefs.ShowFullPaths = true;
        mainPrefs.ShowPreview = false;
        mainPrefs.DefaultSaveDir = "/home/user/pdfs/";
        mainDefaults.SizeMethod = smStretch;
        mainDefaults.PaperName = "a4";
        mainDefaults.PaperPortrait = false;
        mainDefaults.MarginLeft = 10;
        mainDefaults.MarginRight = 11;
        mainDefaults.MarginTop = 12;
        mainDefaults.MarginBottom = 13;
    }
    ~PrefsDialogTest() override { DefaultIniFile() = savedIni_; }

    std::string Ini() const { return (dir / "tovrapdf.ini").string(); }

    TPrefsDialogHooks Hooks() {
        TPrefsDialogHooks hooks;
        hooks.Updating = [this] { return updating; };
        hooks.SetUpdating = [this](bool flag) {
            updating = flag;
            updatingCalls.push_back(flag);
        };
        hooks.PickFolder = [this](QWidget*, const QString& start) {
            pickerStart = start;
            return pickerAnswer;
        };
        hooks.ShowError = [this](QWidget*, const QString& message) { errors.push_back(message.toStdString()); };
        return hooks;
    }

    // Shows the dialog as the active window, so focus moves as it would for a user.
    static void ShowActive(QWidget& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // Types into a field and leaves it for another control, as Tab would.
    static void TypeAndLeave(TReportingEdit* field, const QString& text, QWidget* next) {
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClicks(field, text);
        next->setFocus(Qt::TabFocusReason);
    }

    test::TempDir dir;
    TPDFImage mainDefaults;
    TPrefsRecord mainPrefs;
    bool updating = false;
    std::vector<bool> updatingCalls;
    QString pickerStart;
    QString pickerAnswer;
    std::vector<std::string> errors;

private:
    TPaperSourceOverride papers_;
    std::string savedIni_;
};

TEST_F(PrefsDialogTest, OkWithoutChangesWritesTheMainWindowsValues) {
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    EXPECT_EQ(updatingCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(dialog.cbPaper->currentText(), "A4");
    EXPECT_TRUE(dialog.cbStretch->isChecked());
    EXPECT_TRUE(dialog.cbLandscape->isChecked());
    EXPECT_EQ(dialog.edtMarginBottom->text(), "13");
    EXPECT_EQ(dialog.edtDefaultSaveDir->text(), "/home/user/pdfs/");

    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    // The stored name is written back as it was ("a4"), since nothing was changed.
    EXPECT_EQ(test::ReadFileBytes(Ini()),
              "[AppDefaults]\n"
              "AutoOpenPDF=0\n"
              "ShowPicPreviewDialog=1\n"
              "ShowFullPaths=1\n"
              "ShowPreview=0\n"
              "DefaultSaveDir=/home/user/pdfs/\n"
              "AutoOrient=1\n"
              "LosslessDecoded=0\n"
              "CompactBitmaps=0\n"
              "\n"
              "[PDFDefaults]\n"
              "SizeMethod=0\n"
              "PaperName=a4\n"
              "PaperPortrait=0\n"
              "MarginLeft=10\n"
              "MarginRight=11\n"
              "MarginTop=12\n"
              "MarginBottom=13\n");
    // The main window's record is not touched.
    EXPECT_EQ(mainDefaults.PaperName, "a4");
}

TEST_F(PrefsDialogTest, CancelWritesNothing) {
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    ShowActive(dialog);
    dialog.cbAutoOpenPDF->click();
    TypeAndLeave(dialog.edtMarginLeft, "40", dialog.edtMarginRight);
    EXPECT_EQ(dialog.Prefs().PDFDefaults->MarginLeft, 40);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(std::filesystem::exists(Ini()));

    TfrmPDFPrefs again(mainPrefs, Hooks());
    again.btnCancel->click();
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(Ini()));
}

TEST_F(PrefsDialogTest, MarginFieldsReportWhenLeft) {
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    ShowActive(dialog);
    const TPDFImage& record = *dialog.Prefs().PDFDefaults;

    // While typing nothing is reported.
    dialog.edtMarginTop->setFocus(Qt::TabFocusReason);
    dialog.edtMarginTop->selectAll();
    QTest::keyClicks(dialog.edtMarginTop, "12.9");
    EXPECT_EQ(record.MarginTop, 12);  // still the old value
    dialog.edtMarginBottom->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(record.MarginTop, 12);
    EXPECT_EQ(dialog.edtMarginTop->text(), "12.9");

    TypeAndLeave(dialog.edtMarginBottom, "-3.7", dialog.edtMarginLeft);
    EXPECT_EQ(record.MarginBottom, -3);

    // Not a number: the old text comes back and the record agrees with what is shown.
    TypeAndLeave(dialog.edtMarginLeft, "abc", dialog.edtMarginRight);
    EXPECT_EQ(dialog.edtMarginLeft->text(), "10");
    EXPECT_EQ(record.MarginLeft, 10);
    TypeAndLeave(dialog.edtMarginRight, "1e12", dialog.edtMarginTop);
    EXPECT_EQ(dialog.edtMarginRight->text(), "11");
    EXPECT_EQ(record.MarginRight, 11);

    // A value still being edited when OK is pressed with Enter is taken.
    dialog.edtMarginRight->setFocus(Qt::TabFocusReason);
    dialog.edtMarginRight->selectAll();
    QTest::keyClicks(dialog.edtMarginRight, "30");
    QTest::keyClick(dialog.edtMarginRight, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const std::string ini = test::ReadFileBytes(Ini());
    EXPECT_NE(ini.find("MarginRight=30\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("MarginTop=12\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("MarginBottom=-3\n"), std::string::npos) << ini;
}

TEST_F(PrefsDialogTest, UnknownPaperShowsTheFirstUntilSomethingChanges) {
    mainDefaults.PaperName = "Tabloid";
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    EXPECT_EQ(dialog.cbPaper->currentIndex(), 0);
    EXPECT_EQ(dialog.Prefs().PDFDefaults->PaperName, "Tabloid");
    dialog.cbPortrait->click();
    EXPECT_EQ(dialog.Prefs().PDFDefaults->PaperName, "Letter");
    EXPECT_TRUE(dialog.Prefs().PDFDefaults->PaperPortrait);
    dialog.cbPaper->setCurrentIndex(2);
    EXPECT_EQ(dialog.Prefs().PDFDefaults->PaperName, "A5");
}

TEST_F(PrefsDialogTest, SizingOutsideTheModesChecksNoButton) {
    mainDefaults.SizeMethod = static_cast<TSizeMethod>(7);
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    EXPECT_FALSE(dialog.cbStretch->isChecked());
    EXPECT_FALSE(dialog.cbFit->isChecked());
    EXPECT_FALSE(dialog.cbFull->isChecked());
    dialog.cbAutoOpenPDF->click();  // any change reads the group: none checked is Full Size
    EXPECT_EQ(dialog.Prefs().PDFDefaults->SizeMethod, smFullSize);
    dialog.cbFit->click();
    EXPECT_EQ(dialog.Prefs().PDFDefaults->SizeMethod, smFit);
}

TEST_F(PrefsDialogTest, ChecksAndFolderPicker) {
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    dialog.cbShowPicPreviewDialog->click();
    dialog.cbAutoOrient->click();
    dialog.cbLosslessDecoded->click();
    dialog.cbCompactBitmaps->click();
    pickerAnswer = "";
    dialog.btnBrowse->click();  // cancelled: nothing changes
    EXPECT_EQ(pickerStart, "/home/user/pdfs/");
    EXPECT_EQ(dialog.Prefs().DefaultSaveDir, "/home/user/pdfs/");
    pickerAnswer = "/srv/out";
    dialog.btnBrowse->click();
    EXPECT_EQ(dialog.edtDefaultSaveDir->text(), "/srv/out");
    EXPECT_EQ(dialog.Prefs().DefaultSaveDir, "/srv/out");
    dialog.btnOK->click();
    const std::string ini = test::ReadFileBytes(Ini());
    EXPECT_NE(ini.find("ShowPicPreviewDialog=0\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("DefaultSaveDir=/srv/out\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("AutoOrient=0\nLosslessDecoded=1\nCompactBitmaps=1\n"), std::string::npos) << ini;
}

TEST_F(PrefsDialogTest, ReadingIsSilentWhileTheMainWindowUpdates) {
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    updating = true;
    dialog.cbAutoOpenPDF->click();
    EXPECT_FALSE(dialog.Prefs().AutoOpenPDF);
    updating = false;
    dialog.cbAutoOpenPDF->click();
    EXPECT_FALSE(dialog.Prefs().AutoOpenPDF);  // clicked twice: unchecked again
    dialog.cbAutoOpenPDF->click();
    EXPECT_TRUE(dialog.Prefs().AutoOpenPDF);
}

TEST_F(PrefsDialogTest, FailedWriteKeepsTheDialogOpen) {
    test::WriteFileBytes(dir / "plain", "");
    DefaultIniFile() = (dir / "plain" / "tovrapdf.ini").string();
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    ShowActive(dialog);
    dialog.btnOK->click();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Unable to write to " + DefaultIniFile());
    EXPECT_TRUE(dialog.isVisible());
    dialog.btnCancel->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PrefsDialogTest, PaperFailureIsShownAndTheDialogStillWorks) {
    const TPaperSourceOverride broken([](int) {
        TPrinterPapers papers;
        papers.Names = {"A4", "A5"};
        papers.Codes = {1, 2};
        papers.Sizes = {{2100, 2970}};
        return papers;
    });
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(updatingCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(dialog.cbPaper->count(), 0);
    dialog.btnOK->click();
    EXPECT_NE(test::ReadFileBytes(Ini()).find("PaperName=a4\n"), std::string::npos);
}

TEST_F(PrefsDialogTest, KeyboardAndAccessibleNames) {
    TfrmPDFPrefs dialog(mainPrefs, Hooks());
    EXPECT_EQ(dialog.windowTitle(), "Preferences");
    EXPECT_EQ(dialog.edtMarginTop->accessibleName(), "top");
    EXPECT_EQ(dialog.edtDefaultSaveDir->accessibleName(), "Default directory for new PDFs");
    EXPECT_EQ(dialog.cbAutoOrient->text(), "Turn photos upright (EXIF orientation)");
    EXPECT_EQ(dialog.cbLosslessDecoded->text(), "Exact pixels for HEIF and AVIF photos (larger files)");
    EXPECT_EQ(dialog.cbCompactBitmaps->text(), "Smaller files for bitmap pictures (lossless)");
    // Right under the photo box, and the compact box after it.
    QLayout* boxes = dialog.cbAutoOrient->parentWidget()->layout();
    EXPECT_EQ(boxes->indexOf(dialog.cbLosslessDecoded), boxes->indexOf(dialog.cbAutoOrient) + 1);
    EXPECT_EQ(boxes->indexOf(dialog.cbCompactBitmaps), boxes->indexOf(dialog.cbAutoOrient) + 2);
    EXPECT_EQ(dialog.cbAutoOpenPDF->text(), "Automatically open new PDFs ");
    EXPECT_TRUE(dialog.btnOK->isDefault());
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isWidgetType() || qobject_cast<QLabel*>(w) || w->focusPolicy() == Qt::NoFocus) continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
}

}  // namespace
}  // namespace tovra
