// Create PDF through the window: the proposed name and the save dialog, the question about an
// existing file answered by the test, the pages written, failures and opening the new file.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>

#include "MainWindowFixture.h"
#include "PdfReadBack.h"

namespace tovra::test {
namespace {

using CreatePdfCommand = MainWindowTest;

QString Q(const std::string& path) { return QString::fromStdString(path); }

TEST_F(CreatePdfCommand, WritesOnePagePerRowAndOpensTheFile) {
    auto& w = MakeWindow();
    dialogs->OpenAnswers = {{Q(Picture("holiday.jpg", 60, 40)), Q(Picture("b.bmp")), Q(Picture("c.gif"))}};
    w.aLoadImages->trigger();
    const std::string pdf = (dir / "out.pdf").string();
    dialogs->SaveAnswers = {Q(pdf)};
    w.aCreatePDF->trigger();

    EXPECT_EQ(dialogs->LastSave.FileName, "holiday.pdf");
    EXPECT_EQ(dialogs->LastSave.Filter.Description, "PDF Document (*.pdf)");
    EXPECT_EQ(dialogs->LastSave.DefaultSuffix, "pdf");
    EXPECT_EQ(dialogs->LastSave.Directory.toStdString(), dir.Path().string() + "/");
    EXPECT_TRUE(dialogs->Errors().isEmpty()) << dialogs->Errors().join('\n').toStdString();
    EXPECT_QPDF_CLEAN(pdf);
    const auto images = ListImages(pdf);
    ASSERT_EQ(images.size(), 3u);
    // Rows in load order: b.bmp, c.gif, holiday.jpg.
    EXPECT_EQ(images[0].Encoding, "image");
    EXPECT_EQ(images[1].Encoding, "image");
    EXPECT_EQ(images[2].Encoding, "jpeg");
    EXPECT_EQ(opened, std::vector<std::string>({pdf}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CreatePdfCommand, AnExistingFileIsReplacedOnlyAfterYes) {
    auto& w = MakeWindow("[AppDefaults]\nAutoOpenPDF=0\n");
    w.ShowImage(w.AddImageFiles({Q(Picture("a.bmp"))}));
    const auto pdf = dir / "old.pdf";
    WriteFileBytes(pdf, "precious");

    dialogs->SaveAnswers = {Q(pdf.string())};
    dialogs->YesNoAnswers = {false};
    w.aCreatePDF->trigger();
    ASSERT_EQ(dialogs->Asked.back().Kind, "warning");
    EXPECT_EQ(dialogs->Asked.back().Title, "Tovra PDF");
    EXPECT_EQ(dialogs->Asked.back().Text, "Replace existing file?");
    EXPECT_EQ(ReadFileBytes(pdf), "precious");

    dialogs->SaveAnswers = {Q(pdf.string())};
    dialogs->YesNoAnswers = {true};
    w.aCreatePDF->trigger();
    EXPECT_EQ(ReadFileBytes(pdf).substr(0, 8), "%PDF-1.2");
    EXPECT_TRUE(opened.empty());  // AutoOpenPDF off

    // Cancel in the save dialog: nothing happens.
    dialogs->SaveAnswers = {QString()};
    w.aCreatePDF->trigger();
    EXPECT_TRUE(dialogs->YesNoAnswers.empty());
}

// Files from a drop, the command line or "Open with": the first row names the PDF (".pdf" alone
// would be a hidden file); once Load Images was used, its first file does.
TEST_F(CreatePdfCommand, ProposesTheFirstRowsNameWhenLoadImagesWasNeverUsed) {
    auto& w = MakeWindow();
    w.fdFilesDrop({Q(Picture("dropped.jpg")), Q(Picture("second.bmp"))});
    w.MoveRow(1, 0);
    dialogs->SaveAnswers = {QString(), QString()};
    w.aCreatePDF->trigger();
    EXPECT_EQ(dialogs->LastSave.FileName, "second.pdf");
    dialogs->OpenAnswers = {{Q(Picture("loaded.gif"))}};
    w.aLoadImages->trigger();
    w.aCreatePDF->trigger();
    EXPECT_EQ(dialogs->LastSave.FileName, "loaded.pdf");
}

TEST_F(CreatePdfCommand, AMissingRowStopsTheRunWithThePagesBeforeItWritten) {
    auto& w = MakeWindow();
    QStringList files;
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp", "4.bmp", "5.bmp"}) files << Q(Picture(name));
    w.ShowImage(w.AddImageFiles(files));
    std::filesystem::remove(files[2].toStdString());
    const std::string pdf = (dir / "part.pdf").string();
    dialogs->SaveAnswers = {Q(pdf)};
    w.aCreatePDF->trigger();
    // The message ends in a quote, which sorts before ".": no full stop is added.
    EXPECT_EQ(dialogs->Errors(), QStringList({"Image file not found: \"" + files[2] + "\""}));
    EXPECT_EQ(PageSizes(pdf).size(), 2u);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(w.RowCount(), 5);  // the list is not changed by a run
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CreatePdfCommand, PagesFollowEachRowsPaperAndOrientation) {
    auto& w = MakeWindow();
    w.AddImageFiles({Q(Picture("a.jpg")), Q(Picture("b.jpg"))});
    w.ShowImage(1);
    w.cbPaper->setCurrentIndex(w.cbPaper->findText("A4"));
    emit w.cbPaper->activated(w.cbPaper->currentIndex());
    w.cbLandscape->click();
    const std::string pdf = (dir / "mixed.pdf").string();
    dialogs->SaveAnswers = {Q(pdf)};
    w.aCreatePDF->trigger();
    const auto sizes = PageSizes(pdf);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].Width, 612);
    EXPECT_EQ(sizes[0].Height, 792);
    EXPECT_EQ(sizes[1].Width, 842);
    EXPECT_EQ(sizes[1].Height, 595);
}

}  // namespace
}  // namespace tovra::test
