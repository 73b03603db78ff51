// The preview area: the page the window paints agrees with the PDF page a renderer draws, and
// hiding and showing the area changes the window's height by the area's height.
#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>

#include "MainWindowFixture.h"
#include "PreviewNote.h"
#include "PreviewView.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPage.h"

namespace tovra::test {
namespace {

using Preview = MainWindowTest;

int MaxChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The PDF's first page rendered at four pixels per point, sampled back to one pixel per point
// at the centre of each block (the renderer then shows image pixels unsmoothed).
QImage RenderedAtOnePixelPerPoint(const std::filesystem::path& pdf, const QSize& pageSize, const TempDir& dir) {
    const auto render = RunCommand("pdftoppm -r 288 -png -singlefile -f 1 -l 1 " + ShellQuote(pdf.string()) + " " +
                                   ShellQuote((dir / "render").string()));
    EXPECT_EQ(render.exitCode, 0) << render.output;
    const QImage fine(QString::fromStdString((dir / "render.png").string()));
    EXPECT_EQ(fine.size(), pageSize * 4);
    QImage sampled(pageSize, QImage::Format_RGB32);
    for (int y = 0; y < pageSize.height(); ++y)
        for (int x = 0; x < pageSize.width(); ++x) sampled.setPixel(x, y, fine.pixel(4 * x + 2, 4 * y + 2));
    return sampled;
}

TEST_F(Preview, ThePagePaintedByTheWindowAgreesWithThePdf) {
    auto& w = MakeWindow("[AppDefaults]\nAutoOpenPDF=0\n");
    for (QRadioButton* sizing : {w.cbFit, w.cbFull}) {
        SCOPED_TRACE(sizing->text().toStdString());
        sizing->click();
        w.aClearList->trigger();
        const std::string bmp = Picture("picture.bmp", 120, 80);
        w.ShowImage(w.AddImageFiles({QString::fromStdString(bmp)}));
        ASSERT_TRUE(dialogs->Errors().isEmpty());

        const QImage view = w.prpViewWidget->Grab();
        // The page sits at 14, 14 in the grey preview area.
        EXPECT_EQ(view.pixel(5, 5), PreviewBackground().rgb());
        const QImage page = view.copy(w.prpView->Left(), w.prpView->Top(), w.prpView->Width(), w.prpView->Height());

        const auto pdf = dir / "preview.pdf";
        dialogs->SaveAnswers = {QString::fromStdString(pdf.string())};
        dialogs->YesNoAnswers = {true};
        w.aCreatePDF->trigger();
        const QImage rendered = RenderedAtOnePixelPerPoint(pdf, page.size(), dir);

        // The picture's area: the content area's corner (margins 20 and the frame) at natural size.
        const QRect area(21, 21, 120, 80);
        int worst = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                worst = std::max(worst, MaxChannelDifference(page.pixel(x, y), rendered.pixel(x, y)));
        EXPECT_EQ(worst, 0);
        // The picture ends where the PDF's does.
        EXPECT_EQ(rendered.pixel(area.right() + 2, area.top() + 2), qRgb(255, 255, 255));
    }
}

TEST_F(Preview, RepaintsWhenTheShownEntryChanges) {
    auto& w = MakeWindow();
    w.ShowImage(w.AddImageFiles({QString::fromStdString(Picture("a.bmp", 100, 60))}));
    const QImage before = w.prpViewWidget->Grab();
    w.cbLandscape->click();
    const QImage after = w.prpViewWidget->Grab();
    EXPECT_EQ(w.prpViewWidget->width(), 14 + 792 + 14);
    EXPECT_NE(before.size(), after.size());
}

TEST_F(Preview, ALargePhotoIsDecodedOnlyAsLargeAsItIsShown) {
    auto& w = MakeWindow();
    w.ShowImage(w.AddImageFiles({QString::fromStdString(Picture("photo.jpg", 2400, 1600))}));
    ASSERT_TRUE(dialogs->Errors().isEmpty());
    EXPECT_EQ(w.priViewJPG->Width(), 570);  // Fit on Letter with margins of 20
    EXPECT_EQ(w.priViewJPG->ScreenImageSize(), QSize(570, 380));
}

TEST_F(Preview, HidingAndShowingTheAreaChangesTheHeightByItsHeight) {
    auto& w = MakeWindow();
    w.show();
    ASSERT_EQ(w.height(), 473);
    const int areaHeight = w.sbView->height();
    ASSERT_GT(areaHeight, 0);
    w.cbShowPreview->click();
    EXPECT_FALSE(w.Prefs.ShowPreview);
    EXPECT_FALSE(w.sbView->isVisible());
    EXPECT_EQ(w.height(), 473 - areaHeight);
    EXPECT_EQ(w.SavedHeight, 473);
    w.cbShowPreview->click();
    EXPECT_TRUE(w.sbView->isVisible());
    EXPECT_EQ(w.height(), 473);
    EXPECT_EQ(w.pnlControls->height(), TfrmPDFMain::kControlsHeight);
}

TEST_F(Preview, AMaximisedWindowStaysMaximised) {
    auto& w = MakeWindow();
    w.showMaximized();
    ASSERT_TRUE(w.isMaximized());
    w.cbShowPreview->click();
    EXPECT_TRUE(w.isMaximized());
    EXPECT_FALSE(w.sbView->isVisible());
    w.cbShowPreview->click();
    EXPECT_TRUE(w.isMaximized());
    EXPECT_TRUE(w.sbView->isVisible());
}

TEST_F(Preview, StartsWithoutTheAreaWhenThePreferenceSaysSo) {
    auto& w = MakeWindow("[AppDefaults]\nShowPreview=0\n");
    w.show();
    EXPECT_FALSE(w.cbShowPreview->isChecked());
    EXPECT_FALSE(w.sbView->isVisible());
    const int hidden = w.height();
    EXPECT_LT(hidden, 473);
    w.cbShowPreview->click();
    EXPECT_EQ(w.height(), 473);
    EXPECT_EQ(473 - w.sbView->height(), hidden);
}

// A JPEG libjpeg warns about still shows; the note under the preview says its data is damaged,
// and goes with the next sound picture of any kind.
TEST_F(Preview, ANoteSaysWhenTheJpegShownIsDamaged) {
    auto& w = MakeWindow();
    w.show();
    // 32 stray bytes before the end-of-image marker: "Corrupt JPEG data: 32 extraneous bytes ...".
    const std::string sound = ReadFileBytes(Picture("sound.jpg", 120, 90));
    WriteFileBytes(dir / "stray.jpg", sound.substr(0, sound.size() - 2) + std::string(32, 'Z') + "\xFF\xD9");
    w.AddImageFiles({QString::fromStdString((dir / "stray.jpg").string()), QString::fromStdString(Picture("a.jpg")),
                     QString::fromStdString(Picture("b.bmp"))});
    const QWidget* note = w.lblPreviewNote;
    for (const int row : {0, 1, 0, 2, 0}) {
        w.ShowImage(row);
        QTRY_VERIFY(!w.CheckingShownPicture());  // checked on a worker thread
        EXPECT_EQ(note->isVisible(), row == 0) << row;
    }
    EXPECT_EQ(w.lblPreviewNote->text(), "damaged JPEG data");
    // Over the bottom-left corner of the visible preview area.
    EXPECT_TRUE(w.sbView->viewport()->rect().contains(note->geometry()));
    EXPECT_TRUE(dialogs->Errors().isEmpty()) << dialogs->Errors().join("|").toStdString();
    w.ClearImageList();
    EXPECT_FALSE(note->isVisible());
}

}  // namespace
}  // namespace tovra::test
