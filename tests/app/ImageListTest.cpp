// The image list: Load Images with its sorting, adding files without reading them, showing a
// row (its final steps also after a failure), removing, clearing, row texts.
#include <filesystem>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "ImageListBox.h"
#include "MainWindowFixture.h"
#include "imaging/ImageFormats.h"
#include "imaging/RecordImage.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPage.h"

namespace tovra::test {
namespace {

using ImageList = MainWindowTest;

QString Q(const std::string& path) { return QString::fromStdString(path); }

TEST_F(ImageList, LoadImagesSortsByPathWithoutRegardToCaseAndShowsTheLast) {
    auto& w = MakeWindow();
    const QString b = Q(Picture("b.jpg")), a = Q(Picture("A.bmp")), c = Q(Picture("c.GIF"));
    dialogs->OpenAnswers = {{b, a, c}};
    w.aLoadImages->trigger();
    EXPECT_EQ(dialogs->LastOpen.Title, "Load Images");
    EXPECT_TRUE(dialogs->LastOpen.PicturePreview);  // the default preference
    QStringList captions;
    for (const TFileFilter& filter : dialogs->LastOpen.Filters) captions.push_back(filter.Description);
    EXPECT_EQ(captions, QStringList({"All Image Files (*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.tif;*.tiff;*.webp;*.heic;*.heif;*.avif)",
                                     "Bitmap Image Files (*.bmp)", "GIF Image files (*.gif)",
                                     "JPEG Image Files (*.jpg;*.jpeg)", "PNG Image Files (*.png)",
                                     "TIFF Image Files (*.tif;*.tiff)", "WebP Image Files (*.webp)",
                                     "HEIF Image Files (*.heic;*.heif;*.avif)", "All Files (*.*)"}));
    EXPECT_EQ(dialogs->LastOpen.Filters[7].Patterns, QStringList({"*.heic", "*.heif", "*.avif"}));

    EXPECT_EQ(Rows(), QStringList({"A.bmp", "b.jpg", "c.GIF"}));
    EXPECT_EQ(w.SelectedRow(), 2);
    EXPECT_EQ(w.CurrentImage(), w.EntryOf(2));
    EXPECT_EQ(w.CurrentImage()->ImageKind, ikGIF);
    EXPECT_TRUE(w.priView->Visible());
    EXPECT_FALSE(w.priViewJPG->Visible());
    EXPECT_TRUE(w.aCreatePDF->isEnabled());
    EXPECT_TRUE(dialogs->Errors().isEmpty());
    EXPECT_EQ(w.LoadDialogFileName(), b);  // the first file chosen names the PDF

    // Cancel changes nothing.
    dialogs->OpenAnswers = {{}};
    w.aLoadImages->trigger();
    EXPECT_EQ(w.RowCount(), 3);
}

TEST_F(ImageList, SortingDropsNamesEqualApartFromCase) {
    EXPECT_EQ(TfrmPDFMain::SortedLoadNames({"/p/b.jpg", "/p/B.JPG", "/p/a.bmp", "/P/a.bmp"}),
              QStringList({"/p/a.bmp", "/p/b.jpg"}));
}

TEST_F(ImageList, AddsOnlySupportedKindsAndReadsNoPicture) {
    auto& w = MakeWindow();
    // None of these files exists: adding reads nothing.
    const int last = w.AddImageFiles({"/nowhere/photo.Jpeg", "/nowhere/notes.txt", "/nowhere/README",
                                      "/nowhere/x.bmp"});
    EXPECT_EQ(last, 1);
    EXPECT_EQ(Rows(), QStringList({"photo.Jpeg", "x.bmp"}));
    EXPECT_EQ(w.EntryOf(0)->ImageKind, ikJPEG);
    EXPECT_EQ(w.EntryOf(0)->JpegItem, w.priViewJPG);
    EXPECT_EQ(w.EntryOf(1)->BitmapItem, w.priView);
    EXPECT_EQ(w.EntryOf(1)->Page, w.prpView);
    EXPECT_EQ(w.AddImageFiles({"/nowhere/a.txt"}), -1);
}

TEST_F(ImageList, ADropOrLoadAddingNothingToAFilledListReportsAndKeepsTheRows) {
    auto& w = MakeWindow();
    w.ShowImage(w.AddImageFiles({Q(Picture("a.bmp"))}));
    TPDFImage* shown = w.CurrentImage();
    w.fdFilesDrop({"/tmp/notes.txt"});
    EXPECT_EQ(dialogs->Errors(), QStringList({"Image not loaded properly."}));
    EXPECT_EQ(w.RowCount(), 1);
    EXPECT_EQ(w.SelectedRow(), -1);
    EXPECT_EQ(w.CurrentImage(), shown);
}

TEST_F(ImageList, AnUnreadableFileShowsItsMessageAndTheRowStays) {
    auto& w = MakeWindow();
    const std::string broken = (dir / "broken.jpg").string();
    WriteFileBytes(broken, "this is no JPEG");
    const std::string empty = (dir / "empty.bmp").string();
    WriteFileBytes(empty, "");
    std::filesystem::create_directory(dir / "folder.gif");
    const std::string good = Picture("good.bmp", 60, 40);
    w.AddImageFiles({Q(good), Q(broken), Q(empty), Q((dir / "folder.gif").string())});

    w.ShowImage(0);
    ASSERT_TRUE(dialogs->Errors().isEmpty());
    for (int row = 1; row <= 3; ++row) {
        SCOPED_TRACE(row);
        w.ShowImage(row);
        ASSERT_EQ(dialogs->Errors().size(), row);
        EXPECT_FALSE(dialogs->Errors().back().isEmpty());
        // The final steps ran: the entry is current, the row selected, Updating clear,
        // Create PDF enabled and the normal cursor back.
        EXPECT_EQ(w.CurrentImage(), w.EntryOf(row));
        EXPECT_EQ(w.SelectedRow(), row);
        EXPECT_FALSE(w.Updating());
        EXPECT_TRUE(w.aCreatePDF->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(dialogs->Errors()[2].contains("folder.gif")) << dialogs->Errors()[2].toStdString();
    EXPECT_EQ(w.RowCount(), 4);
    // The window goes on working.
    w.ShowImage(0);
    EXPECT_EQ(w.priView->Picture().Width(), 60);
}

TEST_F(ImageList, ShowingTheShownRowDoesNotReadItAgain) {
    auto& w = MakeWindow();
    const std::string a = Picture("a.bmp", 50, 50);
    w.ShowImage(w.AddImageFiles({Q(a)}));
    Picture("a.bmp", 80, 80);  // the file changes on disk
    w.ShowImage(0);
    EXPECT_EQ(w.priView->Picture().Width(), 50);
}

TEST_F(ImageList, RemovingSelectsTheNeighbourAndNeverUsesTheDestroyedEntry) {
    auto& w = MakeWindow();
    w.AddImageFiles({Q(Picture("a.bmp")), Q(Picture("b.jpg")), Q(Picture("c.gif"))});
    w.ShowImage(0);
    w.RemoveCurrentImage();
    EXPECT_EQ(Rows(), QStringList({"b.jpg", "c.gif"}));
    EXPECT_EQ(w.SelectedRow(), 0);
    EXPECT_EQ(w.CurrentImage(), w.EntryOf(0));
    EXPECT_TRUE(w.priViewJPG->Visible());
    EXPECT_FALSE(w.priView->Visible());

    w.ShowImage(1);
    w.RemoveCurrentImage();
    EXPECT_EQ(Rows(), QStringList({"b.jpg"}));
    EXPECT_EQ(w.SelectedRow(), 0);

    // The Delete key removes too, whatever modifiers are held.
    QTest::keyClick(w.lbFiles, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(w.RowCount(), 0);
    EXPECT_FALSE(w.aCreatePDF->isEnabled());
    EXPECT_FALSE(w.priViewJPG->Visible());
    EXPECT_TRUE(dialogs->Errors().isEmpty());

    // A fresh placeholder takes the panel's changes.
    TPDFImage* placeholder = w.CurrentImage();
    ASSERT_NE(placeholder, nullptr);
    EXPECT_TRUE(placeholder->FileName.empty());
    w.edtMarginTop->setText("25");
    EXPECT_EQ(placeholder->MarginTop, 25);

    // Nothing selected: Delete does nothing.
    w.AddImageFiles({Q(Picture("d.bmp"))});
    QTest::keyClick(w.lbFiles, Qt::Key_Delete);
    EXPECT_EQ(w.RowCount(), 1);
}

TEST_F(ImageList, ClearEmptiesTheListAndDisablesCreatePdf) {
    auto& w = MakeWindow();
    w.ShowImage(w.AddImageFiles({Q(Picture("a.jpg")), Q(Picture("b.jpg"))}));
    w.aClearList->trigger();
    EXPECT_EQ(w.RowCount(), 0);
    EXPECT_FALSE(w.aCreatePDF->isEnabled());
    EXPECT_FALSE(w.priViewJPG->Visible());
    EXPECT_TRUE(dialogs->Errors().isEmpty());
    w.cbStretch->click();
    EXPECT_EQ(w.CurrentImage()->SizeMethod, smStretch);
}

TEST_F(ImageList, ShowFullPathRewritesEveryRowAndKeepsTheSelection) {
    auto& w = MakeWindow();
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp");
    w.AddImageFiles({Q(a), Q(b)});
    w.ShowImage(1);
    w.cbFullPath->click();
    EXPECT_EQ(Rows(), QStringList({Q(a), Q(b)}));
    EXPECT_TRUE(w.Prefs.ShowFullPaths);
    EXPECT_EQ(w.SelectedRow(), 1);
    w.cbFullPath->click();
    EXPECT_EQ(Rows(), QStringList({"a.bmp", "b.bmp"}));
    EXPECT_EQ(w.SelectedRow(), 1);
}

TEST_F(ImageList, ClickingARowShowsIt) {
    auto& w = MakeWindow();
    w.AddImageFiles({Q(Picture("a.bmp", 30, 20)), Q(Picture("b.bmp", 70, 20))});
    w.show();
    const QRect second = w.lbFiles->visualItemRect(w.lbFiles->item(1));
    QTest::mouseClick(w.lbFiles->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(w.CurrentImage(), w.EntryOf(1));
    EXPECT_EQ(w.priView->Picture().Width(), 70);
    EXPECT_EQ(second.height(), 15);  // rows are 15 high
    QTest::keyClick(w.lbFiles, Qt::Key_Up);
    EXPECT_EQ(w.CurrentImage(), w.EntryOf(0));
}

// A stand-in TIFF reader: three pages, page n an (n + 10) x 5 grey picture turned by its
// orientation tag (6), so that the window's bitmap item shows it upright.
int ThreePages(const std::string&) { return 3; }

std::unique_ptr<TGraphic> LoadTiffPage(const std::string& path, int page) {
    auto record = std::make_shared<TImageRecord>();
    record->Width = page + 10;
    record->Height = 5;
    record->Color = TColorModel::Gray;
    record->Orientation = 6;
    record->Bytes = std::make_shared<const std::string>(static_cast<std::size_t>(record->Width * 5), '\x40');
    return std::make_unique<TRecordImage>(std::move(record), path);
}

TEST_F(ImageList, AMultiPageTiffAddsARowPerPageEachWithItsOwnEntry) {
    const TImageFormatOverride tiff(ikTIFF, LoadTiffPage, ThreePages);
    auto& w = MakeWindow();
    const std::string scan = (dir / "scan.TIF").string();
    WriteFileBytes(scan, "pages");
    w.fdFilesDrop({Q(Picture("a.bmp")), Q(scan)});
    EXPECT_EQ(Rows(), QStringList({"a.bmp", "scan.TIF (1/3)", "scan.TIF (2/3)", "scan.TIF (3/3)"}));
    EXPECT_EQ(w.CurrentImage(), w.EntryOf(3));
    EXPECT_EQ(w.priView->Picture().Width(), 12);  // the third page, read when shown
    EXPECT_EQ(w.priView->NaturalWidth(), 5);      // upright
    w.ShowImage(2);
    EXPECT_EQ(w.priView->Picture().Width(), 11);
    w.cbStretch->click();  // settings of one page only
    EXPECT_EQ(w.EntryOf(2)->SizeMethod, smStretch);
    EXPECT_NE(w.EntryOf(1)->SizeMethod, smStretch);
    EXPECT_EQ(w.EntryOf(1)->PageIndex, 0);
    EXPECT_EQ(w.EntryOf(3)->PageCount, 3);
    w.cbFullPath->click();
    EXPECT_EQ(Rows().at(2), Q(scan) + " (2/3)");
    EXPECT_TRUE(dialogs->Errors().isEmpty());
}

}  // namespace
}  // namespace tovra::test
