// The file drop target on a real list widget: drops arrive on the list's viewport.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

#include "components/Other/FileDrop.h"

namespace tovra {
namespace {

TEST(ListDrop, FilesDroppedOnAListWidget) {
    QListWidget list;
    list.addItem("row");
    list.setDragDropMode(QAbstractItemView::InternalMove);
    TFileDrop drop;
    std::vector<std::string> got;
    drop.OnDrop = [&](TFileDrop& sender) { got = sender.Files(); };
    drop.SetDropControl(&list);
    EXPECT_TRUE(list.acceptDrops());
    EXPECT_TRUE(list.viewport()->acceptDrops());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/p/a.jpg"), QUrl::fromLocalFile("/p/b.gif")});
    // Qt hands a drop only to a widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(4, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(4, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &event);
    EXPECT_TRUE(event.isAccepted());
    EXPECT_EQ(got, (std::vector<std::string>{"/p/a.jpg", "/p/b.gif"}));
    EXPECT_EQ(drop.DropPoint(), QPoint(4, 6));

    // Letting the list go gives it back its own drop setting (on, for its row dragging).
    drop.SetDropControl(nullptr);
    EXPECT_TRUE(list.acceptDrops());
}

}  // namespace
}  // namespace tovra
