// The settings panel: reading it into entries, showing entries in it, its change handlers with
// Updating, and "Apply settings to all pages".
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "report/PRPage.h"

namespace tovra::test {
namespace {

using SettingsPanel = MainWindowTest;

TEST_F(SettingsPanel, StartsWithTheDefaultSettingsAndAPlaceholderEntry) {
    auto& w = MakeWindow();
    EXPECT_TRUE(w.cbFit->isChecked());
    EXPECT_FALSE(w.cbStretch->isChecked());
    EXPECT_EQ(w.cbPaper->currentText(), "Letter");
    EXPECT_TRUE(w.cbPortrait->isChecked());
    for (QLineEdit* field : {w.edtMarginTop, w.edtMarginBottom, w.edtMarginLeft, w.edtMarginRight})
        EXPECT_EQ(field->text(), "20");
    ASSERT_NE(w.CurrentImage(), nullptr);
    EXPECT_EQ(w.CurrentImage()->FileName, "");
    EXPECT_EQ(w.CurrentImage()->PageWidth, 0);
    EXPECT_FALSE(w.Updating());
    EXPECT_FALSE(w.aCreatePDF->isEnabled());
    EXPECT_EQ(w.DragStart, QPoint(-1, -1));
}

TEST_F(SettingsPanel, ReadsSizingMarginsAndPaper) {
    auto& w = MakeWindow();
    TPDFImage entry;
    w.edtMarginTop->setText("12.9");
    w.edtMarginBottom->setText("-3.7");
    w.edtMarginLeft->setText("7");
    w.edtMarginRight->setText("nonsense");
    w.cbStretch->setChecked(true);
    w.ReadSizeMethod(&entry);
    EXPECT_EQ(entry.SizeMethod, smStretch);
    EXPECT_EQ(entry.MarginTop, 12);
    EXPECT_EQ(entry.MarginBottom, -3);
    EXPECT_EQ(entry.MarginLeft, 7);
    EXPECT_EQ(entry.MarginRight, 0);

    // No sizing button checked (a SizeMethod outside 0..2 was shown): Full Size.
    TPDFImage odd;
    odd.SizeMethod = static_cast<TSizeMethod>(7);
    w.ShowSettings(odd);
    EXPECT_FALSE(w.cbStretch->isChecked() || w.cbFit->isChecked() || w.cbFull->isChecked());
    w.ReadSizeMethod(&entry);
    EXPECT_EQ(entry.SizeMethod, smFullSize);

    w.cbPaper->setCurrentIndex(w.cbPaper->findText("A4"));
    w.cbLandscape->setChecked(true);
    w.ReadPaper(&entry);
    EXPECT_EQ(entry.PaperName, "A4");
    EXPECT_FALSE(entry.PaperPortrait);
    EXPECT_EQ(entry.PageWidth, 842);
    EXPECT_EQ(entry.PageHeight, 595);
}

TEST_F(SettingsPanel, ShowSettingsFindsThePaperWithoutRegardToCase) {
    auto& w = MakeWindow();
    TPDFImage entry;
    entry.SizeMethod = smStretch;
    entry.PaperName = "a4";
    entry.PaperPortrait = false;
    ApplyMargins(entry, 1, 2, 3, 4);
    w.ShowSettings(entry);
    EXPECT_TRUE(w.cbStretch->isChecked());
    EXPECT_EQ(w.cbPaper->currentText(), "A4");
    EXPECT_TRUE(w.cbLandscape->isChecked());
    EXPECT_EQ(w.edtMarginTop->text(), "1");
    EXPECT_EQ(w.edtMarginBottom->text(), "2");
    EXPECT_EQ(w.edtMarginLeft->text(), "3");
    EXPECT_EQ(w.edtMarginRight->text(), "4");

    entry.PaperName = "Imperial Foolscap";
    w.ShowSettings(entry);
    EXPECT_EQ(w.cbPaper->currentIndex(), 0);
}

TEST_F(SettingsPanel, EditsReachTheShownEntryAndItsPage) {
    auto& w = MakeWindow();
    const std::string a = Picture("a.bmp", 100, 50);
    w.ShowImage(w.AddImageFiles({QString::fromStdString(a)}));
    TPDFImage& shown = *w.CurrentImage();
    ASSERT_EQ(shown.FileName, a);

    w.cbPaper->setCurrentIndex(w.cbPaper->findText("A4"));
    emit w.cbPaper->activated(w.cbPaper->currentIndex());  // as a user's choice
    EXPECT_EQ(shown.PaperName, "A4");
    EXPECT_EQ(w.prpView->Width(), 595);

    w.cbLandscape->click();
    EXPECT_EQ(shown.PageWidth, 842);
    EXPECT_EQ(shown.PageHeight, 595);
    w.cbPortrait->click();
    EXPECT_EQ(shown.PageWidth, 595);
    EXPECT_EQ(shown.PaperName, "A4");

    w.edtMarginLeft->setText("30");
    EXPECT_EQ(shown.MarginLeft, 30);
    EXPECT_EQ(w.prpView->MarginLeft(), 30);
    // A margin the page refuses is kept by the entry; the page keeps its own.
    w.edtMarginLeft->setText("400");
    EXPECT_EQ(shown.MarginLeft, 400);
    EXPECT_EQ(w.prpView->MarginLeft(), 30);

    w.cbFull->click();
    EXPECT_EQ(shown.SizeMethod, smFullSize);
    EXPECT_EQ(w.prpView->Height(), 50 + 2 + 20 + 20);
}

TEST_F(SettingsPanel, HandlersDoNothingWhileUpdating) {
    auto& w = MakeWindow();
    w.ShowImage(w.AddImageFiles({QString::fromStdString(Picture("a.jpg"))}));
    TPDFImage& shown = *w.CurrentImage();
    w.SetUpdating(true);
    w.edtMarginTop->setText("33");
    w.cbStretch->click();
    w.cbLandscape->click();
    w.SetUpdating(false);
    EXPECT_EQ(shown.MarginTop, 20);
    EXPECT_EQ(shown.SizeMethod, smFit);
    EXPECT_TRUE(shown.PaperPortrait);
}

TEST_F(SettingsPanel, ApplyToAllAsksOnlyWithTwoRowsOrMore) {
    auto& w = MakeWindow();
    w.ShowImage(w.AddImageFiles({QString::fromStdString(Picture("a.bmp"))}));
    w.cbStretch->click();
    w.btnApplyToAll->click();
    EXPECT_TRUE(dialogs->Asked.empty());

    w.AddImageFiles({QString::fromStdString(Picture("b.bmp")), QString::fromStdString(Picture("c.gif"))});
    w.cbLandscape->click();  // only the shown entry (row 0) follows
    dialogs->YesNoAnswers = {false};
    w.btnApplyToAll->click();
    ASSERT_EQ(dialogs->Asked.size(), 1u);
    EXPECT_EQ(dialogs->Asked[0].Kind, "question");
    EXPECT_EQ(dialogs->Asked[0].Title, "Tovra PDF");
    EXPECT_EQ(dialogs->Asked[0].Text, "Are you sure? All pages will use the current settings.");
    EXPECT_TRUE(w.EntryOf(2)->PaperPortrait);

    dialogs->YesNoAnswers = {true};
    w.edtMarginTop->setText("44");
    w.btnApplyToAll->click();
    for (int row = 0; row < 3; ++row) {
        const TPDFImage& entry = *w.EntryOf(row);
        EXPECT_EQ(entry.SizeMethod, smStretch);
        EXPECT_FALSE(entry.PaperPortrait);
        EXPECT_EQ(entry.PageWidth, 792);
        EXPECT_EQ(entry.MarginTop, 44);
        EXPECT_EQ(entry.Page, w.prpView);  // links and files stay
    }
    EXPECT_EQ(w.EntryOf(2)->ImageKind, ikGIF);

    // The next row shown takes the panel's settings.
    w.ShowImage(1);
    EXPECT_TRUE(w.cbLandscape->isChecked());
    EXPECT_EQ(w.prpView->Width(), 792);
}

TEST_F(SettingsPanel, NewEntriesTakeWhatThePanelShows) {
    auto& w = MakeWindow();
    w.cbLandscape->click();
    w.cbFull->click();
    for (QLineEdit* field : {w.edtMarginTop, w.edtMarginBottom, w.edtMarginLeft, w.edtMarginRight})
        field->setText("10");
    const QString file = QString::fromStdString(Picture("a.jpg"));
    w.AddImageFiles({file, file});
    ASSERT_EQ(w.RowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const TPDFImage& entry = *w.EntryOf(row);
        EXPECT_EQ(entry.SizeMethod, smFullSize);
        EXPECT_FALSE(entry.PaperPortrait);
        EXPECT_EQ(entry.PageWidth, 792);
        EXPECT_EQ(entry.MarginRight, 10);
    }
    EXPECT_NE(w.EntryOf(0), w.EntryOf(1));  // the same file twice: two entries of their own
}

// The margin fields keep whatever is typed; the entry stores its whole-number part (0 for text
// that is no number), and the page refuses what it cannot use, as it would a stored margin.
// Numbers at the ends of the 32-bit range reach a Full Size page as a refusal, never an overflow.
TEST_F(SettingsPanel, MarginFieldsTakeAnyTextAndThePageRefusesWhatItCannotUse) {
    auto& w = MakeWindow();
    w.show();
    const std::string file = Picture("a.bmp", 100, 50);
    w.ShowImage(w.AddImageFiles({QString::fromStdString(file)}));
    const TPDFImage& shown = *w.CurrentImage();
    struct Typed {
        const char* text;
        std::int32_t stored;
    };
    for (const Typed typed : {Typed{"-3.7", -3}, Typed{"7-3", 0}, Typed{"-", 0}, Typed{"12.9", 12},
                              Typed{"-2147483648", INT32_MIN}, Typed{"2147483647", INT32_MAX},
                              Typed{"99999999999", INT32_MAX}}) {
        w.edtMarginLeft->selectAll();
        QTest::keyClicks(w.edtMarginLeft, typed.text);
        EXPECT_EQ(w.edtMarginLeft->text(), typed.text);
        EXPECT_EQ(shown.MarginLeft, typed.stored) << typed.text;
        // Each keystroke lays the page out; it keeps the last margin it could use.
        EXPECT_GE(w.prpView->MarginLeft(), 0);
        EXPECT_LT(w.prpView->MarginLeft(), 612 / 2);
    }
    w.edtMarginLeft->setText("30");
    w.edtMarginLeft->setText("-3");
    EXPECT_EQ(shown.MarginLeft, -3);
    EXPECT_EQ(w.prpView->MarginLeft(), 30);
    EXPECT_TRUE(dialogs->Errors().isEmpty());

    // Full Size adds the entry's own margins to the picture: far too large a page, said by name.
    w.edtMarginLeft->setText("2147483647");
    w.cbFull->click();
    EXPECT_EQ(dialogs->Errors(), QStringList{QString::fromStdString(
                                     "No page for the picture of \"" + file +
                                     "\": with its margins it would be 2147483769 x 92 points.")});
    w.edtMarginLeft->setText("-2147483648");
    EXPECT_EQ(dialogs->Errors().size(), 2);
    w.edtMarginLeft->setText("30");
    EXPECT_EQ(w.prpView->Width(), 100 + 2 + 30 + 20);
    EXPECT_EQ(dialogs->Errors().size(), 2);
}

}  // namespace
}  // namespace tovra::test
