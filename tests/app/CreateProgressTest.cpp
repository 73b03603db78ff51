// Create PDF's progress and Cancel: the line shown for each page, a cancelled run that writes
// nothing and leaves an existing file as it was, the real progress dialog's Cancel button, and
// the EXIF orientation preference carried to the preview and to the run.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <set>

#include "ExifBlocks.h"
#include "MainWindowFixture.h"
#include "PdfReadBack.h"
#include "TestImages.h"
#include "cli/SampleImages.h"
#include "report/PRJpegImage.h"

namespace tovra::test {
namespace {

QString Q(const std::string& path) { return QString::fromStdString(path); }

std::set<std::string> FolderListing(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(dir)) names.insert(item.path().filename().string());
    return names;
}

// ---------------------------------------------------------------- progress and cancel

using CreateProgress = MainWindowTest;

TEST_F(CreateProgress, TheLineNamesThePageItsCountAndTheFile) {
    EXPECT_EQ(TfrmPDFMain::CreateProgressText(11, 40, "/photos/2024/holiday-12.jpg"), "Page 12 of 40: holiday-12.jpg");
    EXPECT_EQ(TfrmPDFMain::CreateProgressText(0, 1, "a.bmp"), "Page 1 of 1: a.bmp");
    EXPECT_EQ(TfrmPDFMain::CreateProgressText(2, 3, "/tmp/Café ü.gif"), QString::fromUtf8("Page 3 of 3: Café ü.gif"));
}

TEST_F(CreateProgress, ARunNotCancelledShowsEveryPageAndWritesThemAll) {
    auto& w = MakeWindow("[AppDefaults]\nAutoOpenPDF=0\n");
    QStringList files;
    for (const char* name : {"p1.bmp", "p2.jpg", "p3.gif", "p4.bmp"}) files << Q(Picture(name));
    w.ShowImage(w.AddImageFiles(files));
    const std::string pdf = (dir / "all.pdf").string();
    dialogs->SaveAnswers = {Q(pdf)};
    w.aCreatePDF->trigger();

    EXPECT_TRUE(dialogs->Errors().isEmpty()) << dialogs->Errors().join('\n').toStdString();
    EXPECT_EQ(dialogs->ProgressTitle, "Creating PDF");
    EXPECT_EQ(dialogs->ProgressCount, 4);
    EXPECT_EQ(dialogs->ProgressTexts, QStringList({"Page 1 of 4: p1.bmp", "Page 2 of 4: p2.jpg", "Page 3 of 4: p3.gif",
                                                   "Page 4 of 4: p4.bmp"}));
    EXPECT_FALSE(dialogs->ProgressOpen);  // gone with the run
    EXPECT_EQ(PageSizes(pdf).size(), 4u);
    EXPECT_QPDF_CLEAN(pdf);
    EXPECT_FALSE(w.Creating());
}

TEST_F(CreateProgress, CancelLeavesAnExistingFileByteIdenticalAndNoTemporaryFile) {
    auto& w = MakeWindow();  // AutoOpenPDF on: a cancelled run must not open anything either
    QStringList files;
    for (const char* name : {"c1.bmp", "c2.bmp", "c3.jpg", "c4.gif"}) files << Q(Picture(name));
    w.ShowImage(w.AddImageFiles(files));
    const auto pdf = dir / "kept.pdf";
    const std::string old = "%PDF-1.2\nan older document that must survive\n";
    WriteFileBytes(pdf, old);
    const auto before = FolderListing(dir.Path());

    dialogs->SaveAnswers = {Q(pdf.string())};
    dialogs->YesNoAnswers = {true};
    dialogs->CancelAtStep = 2;
    w.aCreatePDF->trigger();

    EXPECT_EQ(ReadFileBytes(pdf), old);
    EXPECT_EQ(FolderListing(dir.Path()), before);
    // A quiet end: no box, nothing opened, the cursor back, the list as it was.
    EXPECT_TRUE(dialogs->Errors().isEmpty()) << dialogs->Errors().join('\n').toStdString();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(w.RowCount(), 4);
    // It stopped after the page being made: the fourth page was never begun.
    EXPECT_EQ(dialogs->ProgressTexts.size(), 3);
    EXPECT_FALSE(dialogs->ProgressOpen);

    // The same list, not cancelled, replaces the file afterwards.
    dialogs->SaveAnswers = {Q(pdf.string())};
    dialogs->YesNoAnswers = {true};
    dialogs->CancelAtStep = -1;
    w.aCreatePDF->trigger();
    EXPECT_EQ(PageSizes(pdf.string()).size(), 4u);
    EXPECT_EQ(opened, std::vector<std::string>({pdf.string()}));
}

TEST_F(CreateProgress, CancelAtTheFirstPageWritesNoNewFile) {
    auto& w = MakeWindow();
    w.ShowImage(w.AddImageFiles({Q(Picture("only.bmp")), Q(Picture("two.bmp"))}));
    const auto before = FolderListing(dir.Path());
    dialogs->SaveAnswers = {Q((dir / "new.pdf").string())};
    dialogs->CancelAtStep = 0;
    w.aCreatePDF->trigger();
    EXPECT_FALSE(std::filesystem::exists(dir / "new.pdf"));
    EXPECT_EQ(FolderListing(dir.Path()), before);
    EXPECT_TRUE(dialogs->Errors().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The desktop's progress dialog in place of the scripted one; at one step the test shows it (as
// its delay would), looks at it and at the window behind it, and clicks its Cancel button.
class TDialogsWithQtProgress : public TScriptedDialogs {
public:
    int ClickCancelAtStep = -1;
    int StepsSeen = 0;
    std::function<void(QProgressDialog&)> Inspect;

    std::unique_ptr<TRunProgress> StartProgress(QWidget* owner, const QString& title, int count) override {
        TScriptedDialogs::StartProgress(owner, title, count);
        return std::make_unique<TClicking>(*this, owner, TQtDialogService().StartProgress(owner, title, count));
    }

private:
    class TClicking : public TRunProgress {
    public:
        TClicking(TDialogsWithQtProgress& dialogs, QWidget* owner, std::unique_ptr<TRunProgress> real)
            : dialogs_(dialogs), owner_(owner), real_(std::move(real)) {}
        void Step(int index, int count, const QString& text) override {
            real_->Step(index, count, text);
            ++dialogs_.StepsSeen;
            if (index != dialogs_.ClickCancelAtStep) return;
            auto* dialog = owner_->findChild<QProgressDialog*>();
            ASSERT_NE(dialog, nullptr);
            dialog->show();
            QCoreApplication::processEvents();
            if (dialogs_.Inspect) dialogs_.Inspect(*dialog);
            auto* cancel = dialog->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
        bool WasCancelled() override { return real_->WasCancelled(); }

    private:
        TDialogsWithQtProgress& dialogs_;
        QWidget* owner_;
        std::unique_ptr<TRunProgress> real_;
    };
};

TEST_F(CreateProgress, TheDialogsCancelButtonStopsTheRunWhileTheWindowWaitsBehindIt) {
    auto qtDialogs = std::make_shared<TDialogsWithQtProgress>();
    dialogs = qtDialogs;
    auto& w = MakeWindow("[AppDefaults]\nAutoOpenPDF=0\n");
    w.show();
    QStringList files;
    for (const char* name : {"q1.bmp", "q2.bmp", "q3.bmp", "q4.bmp"}) files << Q(Picture(name));
    w.ShowImage(w.AddImageFiles(files));
    const auto pdf = dir / "kept.pdf";
    WriteFileBytes(pdf, "precious");
    const auto before = FolderListing(dir.Path());

    bool inspected = false;
    qtDialogs->ClickCancelAtStep = 1;
    qtDialogs->Inspect = [&](QProgressDialog& dialog) {
        inspected = true;
        EXPECT_EQ(dialog.windowTitle(), "Creating PDF");
        ASSERT_NE(dialog.findChild<QLabel*>(), nullptr);
        EXPECT_EQ(dialog.findChild<QLabel*>()->text(), "Page 2 of 4: q2.bmp");
        EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
        EXPECT_EQ(dialog.minimumDuration(), 500);
        EXPECT_EQ(dialog.findChild<QPushButton*>()->accessibleName(), "Cancel");
        EXPECT_NE(dialog.findChild<QPushButton*>()->focusPolicy() & Qt::TabFocus, 0);
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        // The window is busy: a second Create PDF does nothing, and it will not close.
        EXPECT_TRUE(w.Creating());
        const auto asked = dialogs->Asked.size();
        w.aCreatePDFExecute();
        EXPECT_EQ(dialogs->Asked.size(), asked);
        EXPECT_FALSE(w.close());
        EXPECT_EQ(w.RowCount(), 4);
    };
    dialogs->SaveAnswers = {Q(pdf.string())};
    dialogs->YesNoAnswers = {true};
    w.aCreatePDF->trigger();

    EXPECT_TRUE(inspected);
    EXPECT_EQ(ReadFileBytes(pdf), "precious");
    EXPECT_EQ(FolderListing(dir.Path()), before);
    EXPECT_TRUE(dialogs->Errors().isEmpty()) << dialogs->Errors().join('\n').toStdString();
    EXPECT_EQ(qtDialogs->StepsSeen, 2);  // stopped after the page being made
    EXPECT_EQ(w.findChild<QProgressDialog*>(), nullptr);  // gone with the run
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(w.Creating());
}

TEST_F(CreateProgress, TheDesktopsDialogWaitsHalfASecondAndItsFocusedCancelAnswersTheKeyboard) {
    QWidget owner;
    owner.show();
    auto progress = TQtDialogService().StartProgress(&owner, QStringLiteral("Creating PDF"), 40);
    auto* dialog = owner.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    progress->Step(0, 40, QStringLiteral("Page 1 of 40: a.bmp"));
    EXPECT_FALSE(dialog->isVisible());  // a short run never shows it
    EXPECT_FALSE(progress->WasCancelled());
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 3000);  // shown by its own timer once the delay is over
    progress->Step(11, 40, QStringLiteral("Page 12 of 40: holiday-12.jpg"));
    EXPECT_EQ(dialog->findChild<QLabel*>()->text(), "Page 12 of 40: holiday-12.jpg");
    EXPECT_EQ(dialog->value(), 11);
    auto* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Space);
    EXPECT_TRUE(progress->WasCancelled());
    progress.reset();
    EXPECT_EQ(owner.findChild<QProgressDialog*>(), nullptr);
}

TEST_F(CreateProgress, EscapeCancelsTheRunRatherThanOnlyHidingTheDialog) {
    QWidget owner;
    owner.show();
    auto progress = TQtDialogService().StartProgress(&owner, QStringLiteral("Creating PDF"), 40);
    auto* dialog = owner.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 3000);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(progress->WasCancelled());
}

// ---------------------------------------------------------------- photos upright in the window

// Pages as large as their pictures, so a page's sides show the size the photo was laid out with.
const std::string kFullSize = "[PDFDefaults]\nSizeMethod=2\n";

class WindowAutoOrient : public MainWindowTest {
protected:
    // A 60 x 40 photo stored as it came from a camera held sideways (orientation 6).
    std::string TurnedPhoto() const {
        const std::string path = (dir / "turned.jpg").string();
        const QByteArray jpeg = WithExifOrientation(EncodeJpeg(samples::DrawSample(60, 40, 3)), 6);
        WriteFileBytes(path, jpeg.toStdString());
        return path;
    }

    // Shows the photo and makes the PDF; the pages' sizes.
    std::vector<TPageSize> LayOutAndCreate(TfrmPDFMain& w) {
        w.ShowImage(w.AddImageFiles({Q(TurnedPhoto())}));
        EXPECT_TRUE(w.cbFull->isChecked());
        const std::string pdf = (dir / "turned.pdf").string();
        dialogs->SaveAnswers = {Q(pdf)};
        dialogs->YesNoAnswers = {true};
        w.aCreatePDF->trigger();
        EXPECT_TRUE(dialogs->Errors().isEmpty()) << dialogs->Errors().join('\n').toStdString();
        return PageSizes(pdf);
    }
};

TEST_F(WindowAutoOrient, OffLaysTheTurnedPhotoOutWithItsStoredSize) {
    auto& w = MakeWindow(kFullSize + "[AppDefaults]\nAutoOpenPDF=0\nAutoOrient=0\n");
    EXPECT_FALSE(w.priViewJPG->AutoOrient());
    const auto pages = LayOutAndCreate(w);
    EXPECT_EQ(w.priViewJPG->Width(), 60);
    EXPECT_EQ(w.priViewJPG->Height(), 40);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Width - pages[0].Height, 60 - 40);
}

TEST_F(WindowAutoOrient, OnLaysTheTurnedPhotoOutUpright) {
    auto& w = MakeWindow(kFullSize + "[AppDefaults]\nAutoOpenPDF=0\nAutoOrient=1\n");
    EXPECT_TRUE(w.priViewJPG->AutoOrient());
    const auto pages = LayOutAndCreate(w);
    EXPECT_EQ(w.priViewJPG->Width(), 40);
    EXPECT_EQ(w.priViewJPG->Height(), 60);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Width - pages[0].Height, 40 - 60);
}

TEST_F(WindowAutoOrient, ThePreviewFollowsWhatThePreferencesSayAfterTheDialog) {
    auto& w = MakeWindow(kFullSize + "[AppDefaults]\nAutoOpenPDF=0\nAutoOrient=0\n");
    w.ShowImage(w.AddImageFiles({Q(TurnedPhoto())}));
    EXPECT_EQ(w.priViewJPG->Width(), 60);
    // What the window does after the preferences dialog: read the file, apply it.
    WriteFileBytes(IniPath(), kFullSize + "[AppDefaults]\nAutoOpenPDF=0\nAutoOrient=1\n");
    w.ReadPrefsIntoWindow();
    w.ApplyPrefs();
    EXPECT_TRUE(w.priViewJPG->AutoOrient());
    EXPECT_EQ(w.priViewJPG->Width(), 40);
    EXPECT_EQ(w.priViewJPG->Height(), 60);
}

}  // namespace
}  // namespace tovra::test
