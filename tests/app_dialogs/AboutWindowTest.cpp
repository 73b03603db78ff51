// The About window: its shaded bands, the links and their keys, moving it by dragging.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/dialogs/PDFAbout.h"
#include "app/dialogs/ShadedPanel.h"

namespace tovra {
namespace {

// The panel's own painting, without the labels on it.
QImage PanelImage(TShadedPanel& panel) {
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    panel.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

QColor BandPixel(const QImage& image, const TShadedPanel& panel, int band) {
    const int x = 1 + (panel.BandLeft(band) + panel.BandLeft(band + 1)) / 2;
    return image.pixelColor(x, image.height() / 2);
}

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST(AboutWindow, FiftyFiveBandsFromLightBlueToWhite) {
    TfrmPDFAbout about(nullptr, 24);
    about.show();
    const QImage image = PanelImage(*about.pnlShade);
    EXPECT_EQ(BandPixel(image, *about.pnlShade, 0), QColor(131, 190, 250));
    EXPECT_EQ(BandPixel(image, *about.pnlShade, 54), QColor(255, 255, 255));
    // Band 27 lies half way: 131 + 124 * 27 / 54 = 193 and so on.
    EXPECT_EQ(BandPixel(image, *about.pnlShade, 27), QColor(193, 222, 252));
    EXPECT_EQ(image.pixelColor(0, 10), QColor(Qt::black));  // the frame line
    // Neighbouring bands differ and get lighter to the right.
    EXPECT_LT(BandPixel(image, *about.pnlShade, 10).red(), BandPixel(image, *about.pnlShade, 11).red());

    // The window around the panel is silver, the panel inset by 6 pixels.
    const QImage window = about.grab().toImage();
    EXPECT_EQ(window.pixelColor(2, 2), QColor(192, 192, 192));
    EXPECT_EQ(about.pnlShade->geometry(), QRect(6, 6, 253, 184));
    EXPECT_EQ(about.size(), QSize(265, 196));
    EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);
}

TEST(AboutWindow, PlainWhiteOnPaletteDisplays) {
    TfrmPDFAbout about(nullptr, 8);
    about.show();
    const QImage image = PanelImage(*about.pnlShade);
    for (int band : {0, 20, 54}) EXPECT_EQ(BandPixel(image, *about.pnlShade, band), QColor(Qt::white));
}

TEST(AboutWindow, Texts) {
    TfrmPDFAbout about(nullptr, 24);
    EXPECT_EQ(about.lblVersion->text(), "Version 1.1");
    EXPECT_EQ(about.lblName->text(), "Tovra PDF");
    EXPECT_TRUE(about.lblName->font().bold());
    EXPECT_TRUE(about.lblName->font().italic());
    EXPECT_EQ(about.lnkHomePage->text(), "&HomePage");
    EXPECT_EQ(about.lnkClose->text(), "&Close");
    EXPECT_EQ(about.lnkClose->accessibleName(), "Close");
    EXPECT_FALSE(about.lblDescription->text().isEmpty());
    EXPECT_EQ(about.lblLicence->text(), "Released under the MIT licence");
    EXPECT_TRUE(TfrmPDFAbout::HomePage().contains(':'));

    // The extra line squeezes nothing out of the fixed-size window: the wrapped description keeps
    // the height it needs, and the licence line, whole, sits between it and the links.
    about.show();
    const QLabel* text = about.lblDescription;
    EXPECT_GE(text->height(), text->heightForWidth(text->width()));
    EXPECT_GE(about.lblLicence->height(), about.lblLicence->sizeHint().height());
    EXPECT_GE(about.lblLicence->y(), text->geometry().bottom());
    EXPECT_GE(about.lnkClose->y(), about.lblLicence->geometry().bottom());
}

TEST(AboutWindow, EscAndAltCClose) {
    {
        TfrmPDFAbout about(nullptr, 24);
        ShowActive(about);
        QTest::keyClick(&about, Qt::Key_Escape);
        EXPECT_FALSE(about.isVisible());
    }
    {
        TfrmPDFAbout about(nullptr, 24);
        ShowActive(about);
        QTest::keyClick(&about, Qt::Key_C, Qt::AltModifier);
        // A button's underlined letter clicks it with a short animation.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !about.isVisible(); }, 2000));
    }
    {
        TfrmPDFAbout about(nullptr, 24);
        ShowActive(about);
        about.lnkClose->click();
        EXPECT_FALSE(about.isVisible());
    }
}

TEST(AboutWindow, HomePageOpensItsTarget) {
    TfrmPDFAbout about(nullptr, 24);
    std::vector<std::string> opened;
    about.OpenTarget = [&](const std::string& target) { opened.push_back(target); };
    ShowActive(about);
    QTest::keyClick(&about, Qt::Key_H, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.empty(); }, 2000));
    about.lnkHomePage->click();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], TfrmPDFAbout::HomePage().toStdString());
    EXPECT_TRUE(about.isVisible());
}

TEST(AboutWindow, ExecuteDestroysTheWindowWhenClosed) {
    QPointer<TfrmPDFAbout> seen;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* about = dynamic_cast<TfrmPDFAbout*>(w); about && about->isVisible()) seen = about;
        if (seen) seen->AboutClose();
    });
    TfrmPDFAbout::Execute(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(seen.isNull());
}

// Sends a pointer movement to a part of the window.
void MoveOver(QWidget* part, QPoint global, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF local = part->mapFromGlobal(QPointF(global));
    QMouseEvent move(QEvent::MouseMove, local, QPointF(global), Qt::NoButton, buttons, modifiers);
    QCoreApplication::sendEvent(part, &move);
}

TEST(AboutWindow, DraggingAnyPartMovesTheWindow) {
    TfrmPDFAbout about(nullptr, 24);
    about.move(100, 100);
    about.show();
    const QPoint start = about.pos();
    QWidget* part = about.lblDescription;
    const QPoint grip = part->mapToGlobal(QPoint(5, 5));
    MoveOver(part, grip, Qt::NoButton);
    MoveOver(part, grip + QPoint(30, 20), Qt::LeftButton);
    EXPECT_EQ(about.pos(), start + QPoint(30, 20));

    // With Shift held, or another button, the pointer only moves.
    MoveOver(about.pnlShade, about.pnlShade->mapToGlobal(QPoint(3, 3)), Qt::NoButton);
    const QPoint before = about.pos();
    MoveOver(about.pnlShade, about.pnlShade->mapToGlobal(QPoint(40, 40)), Qt::LeftButton, Qt::ShiftModifier);
    MoveOver(about.pnlShade, about.pnlShade->mapToGlobal(QPoint(50, 50)), Qt::RightButton);
    EXPECT_EQ(about.pos(), before);
}

}  // namespace
}  // namespace tovra
