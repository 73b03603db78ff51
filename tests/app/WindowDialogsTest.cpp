// The menu commands that open the other windows, with the test acting in the modal window:
// the preferences dialog's OK and Cancel (the file read again after either), the document
// properties reaching the PDF's metadata, and the About window.
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "MainWindowFixture.h"
#include "app/dialogs/PDFAbout.h"
#include "app/dialogs/PDFPrefs.h"
#include "app/dialogs/PDFProperties.h"

namespace tovra::test {
namespace {

class WindowDialogs : public MainWindowTest {
protected:
    // Makes the window; each modal window it opens is handed to `act` instead of being run.
    TfrmPDFMain& WindowActingIn(std::function<void(QDialog&)> act) {
        TMainWindowServices services;
        services.Dialogs = dialogs;
        services.OpenPdf = [](const std::string&) {};
        services.ExecutablePath = (dir / "tovrapdf").string();
        services.RunDialog = std::move(act);
        window = std::make_unique<TfrmPDFMain>(services);
        return *window;
    }
};

TEST_F(WindowDialogs, CancelInThePreferencesTurnsTheWindowBackToTheFile) {
    WriteFileBytes(IniPath(), "[AppDefaults]\nShowFullPaths=0\n");
    auto& w = WindowActingIn([](QDialog& dialog) {
        auto& prefs = dynamic_cast<TfrmPDFPrefs&>(dialog);
        prefs.cbShowPicPreviewDialog->click();
        prefs.btnCancel->click();
    });
    w.cbFullPath->click();
    ASSERT_TRUE(w.cbFullPath->isChecked());
    w.aPrefs->trigger();
    EXPECT_FALSE(w.cbFullPath->isChecked());
    EXPECT_TRUE(w.UsesPicturePreviewDialog());
    EXPECT_EQ(ReadFileBytes(IniPath()), "[AppDefaults]\nShowFullPaths=0\n");  // nothing written
}

TEST_F(WindowDialogs, OkInThePreferencesWritesTheFileAndTheWindowAppliesIt) {
    auto& w = WindowActingIn([](QDialog& dialog) {
        auto& prefs = dynamic_cast<TfrmPDFPrefs&>(dialog);
        prefs.cbShowPicPreviewDialog->click();
        prefs.cbAutoOpenPDF->click();
        prefs.btnOK->click();
    });
    w.aPrefs->trigger();
    EXPECT_FALSE(w.UsesPicturePreviewDialog());
    EXPECT_FALSE(w.Prefs.AutoOpenPDF);
    const std::string ini = ReadFileBytes(IniPath());
    EXPECT_EQ(ini.rfind("[AppDefaults]\nAutoOpenPDF=0\nShowPicPreviewDialog=0\n", 0), 0u) << ini;
    EXPECT_FALSE(w.Updating());
    EXPECT_TRUE(dialogs->Errors().isEmpty());
}

TEST_F(WindowDialogs, DocumentPropertiesReachThePdf) {
    auto& w = WindowActingIn([](QDialog& dialog) {
        auto& properties = dynamic_cast<TfrmPDFProperties&>(dialog);
        properties.edtTitle->setText("Holiday");
        properties.edtAuthor->setText("Ana");
        properties.btnOK->click();
    });
    w.aPropertiesExecute();
    w.ShowImage(w.AddImageFiles({QString::fromStdString(Picture("a.jpg"))}));
    const std::string pdf = (dir / "props.pdf").string();
    dialogs->SaveAnswers = {QString::fromStdString(pdf)};
    w.aCreatePDF->trigger();
    const auto info = RunCommand("pdfinfo " + ShellQuote(pdf));
    EXPECT_NE(info.output.find("Title:           Holiday"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Author:          Ana"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Creator:         Tovra PDF version 1.1"), std::string::npos) << info.output;
}

TEST_F(WindowDialogs, AboutOpensModally) {
    bool shown = false;
    auto& w = WindowActingIn([&](QDialog& dialog) {
        shown = dynamic_cast<TfrmPDFAbout*>(&dialog) != nullptr;
        dialog.reject();
    });
    w.aAbout->trigger();
    EXPECT_TRUE(shown);
}

// The shortcuts people try first, beside every caption and Alt letter the window had.
TEST_F(WindowDialogs, CtrlOCtrlSAndF1) {
    int abouts = 0;
    auto& w = WindowActingIn([&abouts](QDialog& dialog) { abouts += dynamic_cast<TfrmPDFAbout*>(&dialog) != nullptr; });
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.aLoadImages->text(), "&Load Images...");
    EXPECT_EQ(w.aCreatePDF->text(), "Create &PDF");
    EXPECT_EQ(w.aAbout->text(), "&About Tovra PDF");

    dialogs->OpenAnswers = {{QString::fromStdString(Picture("a.bmp"))}};
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(w.RowCount(), 1);
    dialogs->SaveAnswers = {QString()};
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs->LastSave.FileName, "a.pdf");
    QTest::keyClick(&w, Qt::Key_F1);
    EXPECT_EQ(abouts, 1);
    EXPECT_TRUE(dialogs->OpenAnswers.empty() && dialogs->SaveAnswers.empty());
}

}  // namespace
}  // namespace tovra::test
