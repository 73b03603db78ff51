// Reordering rows by dragging them: when a drag begins, which drags the list accepts, the
// scrolling at its edges and where the dragged row lands.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include "ImageListBox.h"
#include "MainWindowFixture.h"

namespace tovra::test {
namespace {

class RowDrag : public MainWindowTest {
protected:
    TfrmPDFMain& WindowWithRows(const QStringList& names) {
        auto& w = MakeWindow();
        for (const QString& name : names) w.AddImageFiles({"/pics/" + name});
        w.resize(655, 473);
        w.show();
        return w;
    }

    QPoint RowCentre(int row) const { return window->lbFiles->visualItemRect(window->lbFiles->item(row)).center(); }

    // Presses on a row, moves far enough to drag, and drops at `dropAt` in the list's viewport.
    // The drag loop takes the button's release, so the list never sees it.
    void DragRow(int row, const QPoint& dropAt) {
        TImageListBox* list = window->lbFiles;
        list->RunDrag = [list, dropAt](std::unique_ptr<QMimeData> data, const QPixmap&) {
            QDragEnterEvent enter(dropAt, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QCoreApplication::sendEvent(list->viewport(), &enter);
            QDragMoveEvent move(dropAt, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QCoreApplication::sendEvent(list->viewport(), &move);
            QDropEvent drop(dropAt, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QCoreApplication::sendEvent(list->viewport(), &drop);
        };
        const QPoint start = RowCentre(row);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(list->viewport(), start + QPoint(0, 4));
        QTest::mouseMove(list->viewport(), start + QPoint(0, 4 + QApplication::startDragDistance()));
    }
};

TEST_F(RowDrag, TheRowLandsAboveTheRowItIsDroppedOnOrLast) {
    struct Case {
        int From;
        int Onto;  // -1: below the last row
        QStringList Expected;
    };
    const Case cases[] = {
        {0, 2, {"B", "A", "C", "D"}},
        {3, 1, {"A", "D", "B", "C"}},
        {1, -1, {"A", "C", "D", "B"}},
        {1, 2, {"A", "B", "C", "D"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.From);
        auto& w = WindowWithRows({"A.jpg", "B.jpg", "C.jpg", "D.jpg"});
        const TPDFImage* dragged = w.EntryOf(c.From);
        w.ShowImage(c.From);
        const QPoint dropAt = c.Onto >= 0 ? RowCentre(c.Onto) : QPoint(10, w.lbFiles->viewport()->height() - 20);
        DragRow(c.From, dropAt);
        QStringList names;
        for (int row = 0; row < w.RowCount(); ++row) {
            names << QString::fromStdString(FileNamePart(w.EntryOf(row)->FileName)).left(1);
            EXPECT_EQ(w.lbFiles->item(row)->text().left(1), names.back());  // texts travel with entries
        }
        EXPECT_EQ(names, c.Expected);
        EXPECT_EQ(w.CurrentImage(), dragged);  // the current entry stays current
        EXPECT_EQ(w.EntryOf(w.SelectedRow()), dragged);
        EXPECT_EQ(w.DragStart, QPoint(-1, -1));
        EXPECT_EQ(w.lbFiles->DraggedRow(), -1);
    }
}

TEST_F(RowDrag, BeginsAtFourPixelsNotThree) {
    auto& w = WindowWithRows({"A.jpg", "B.jpg"});
    w.ShowImage(0);
    const QPoint start = RowCentre(0);
    QTest::mousePress(w.lbFiles->viewport(), Qt::LeftButton, {}, start);
    EXPECT_EQ(w.DragStart, start);
    QTest::mouseMove(w.lbFiles->viewport(), start + QPoint(3, 3));
    EXPECT_FALSE(w.lbFiles->DragArmed());
    QTest::mouseMove(w.lbFiles->viewport(), start + QPoint(-4, 0));
    EXPECT_TRUE(w.lbFiles->DragArmed());
    QTest::mouseRelease(w.lbFiles->viewport(), Qt::LeftButton, {}, start);
    EXPECT_FALSE(w.lbFiles->DragArmed());
    EXPECT_EQ(w.DragStart, QPoint(-1, -1));

    // Other buttons do not start anything.
    QTest::mousePress(w.lbFiles->viewport(), Qt::RightButton, {}, start);
    EXPECT_EQ(w.DragStart, QPoint(-1, -1));
    QTest::mouseRelease(w.lbFiles->viewport(), Qt::RightButton, {}, start);
}

TEST_F(RowDrag, AcceptsOnlyItsOwnRowDrags) {
    auto& w = WindowWithRows({"A.jpg", "B.jpg"});
    QMimeData foreign;
    foreign.setData(TImageListBox::kRowMimeType, "0");  // looks like a row, but no drag of ours
    QDragEnterEvent enter(RowCentre(1), Qt::MoveAction, &foreign, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w.lbFiles->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(RowCentre(1), Qt::MoveAction, &foreign, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w.lbFiles->viewport(), &drop);
    EXPECT_EQ(w.lbFiles->item(0)->text(), "A.jpg");
}

TEST_F(RowDrag, ScrollsOneLineNearTheEdges) {
    QStringList many;
    for (int i = 0; i < 60; ++i) many << QString("row%1.jpg").arg(i, 2, 10, QChar('0'));
    auto& w = WindowWithRows(many);
    QScrollBar* bar = w.lbFiles->verticalScrollBar();
    w.ShowImage(12);
    bar->setValue(10);
    auto* list = w.lbFiles;
    std::vector<int> seen;
    list->RunDrag = [&](std::unique_ptr<QMimeData> data, const QPixmap&) {
        const int bottom = list->viewport()->height();
        QDragEnterEvent enter(QPoint(5, 40), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(list->viewport(), &enter);
        for (const QPoint at : {QPoint(5, 2), QPoint(5, 30), QPoint(5, bottom - 5), QPoint(5, bottom - 6)}) {
            QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QCoreApplication::sendEvent(list->viewport(), &move);
            seen.push_back(bar->value());
        }
    };
    const QPoint start = RowCentre(12);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(list->viewport(), start + QPoint(5, 0));
    QTest::mouseMove(list->viewport(), start + QPoint(5 + QApplication::startDragDistance(), 0));
    EXPECT_EQ(seen, (std::vector<int>{9, 9, 10, 10}));
}

TEST_F(RowDrag, TheDragImageIsTheRowTextBlackOnWhite) {
    auto& w = WindowWithRows({"A.jpg"});
    const QImage image = w.lbFiles->DragImage(0).toImage();
    EXPECT_EQ(image.height(), 15);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
    EXPECT_LT(darkest, 80);  // the text is drawn in black
}

}  // namespace
}  // namespace tovra::test
