// The file drop target on synthetic drag-and-drop events.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <memory>
#include <vector>

#include "components/Other/FileDrop.h"

namespace tovra {
namespace {

// A drop control that records the events that reach it.
class RecordingControl : public QObject {
public:
    std::vector<QEvent::Type> seen;

protected:
    bool event(QEvent* e) override {
        // Property and parent bookkeeping is not what the tests look for.
        if (e->type() != QEvent::DynamicPropertyChange && e->type() != QEvent::ParentChange) seen.push_back(e->type());
        return QObject::event(e);
    }
};

std::unique_ptr<QMimeData> FileData(const std::vector<QString>& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

struct DropResult {
    bool enterTaken = false;
    bool dropTaken = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

DropResult DragAndDrop(QObject& target, const QMimeData& data, QPoint at = {5, 7},
                       Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
    DropResult result;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&target, &enter);
    result.enterTaken = enter.isAccepted();
    QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QCoreApplication::sendEvent(&target, &drop);
    result.dropTaken = drop.isAccepted();
    result.action = drop.dropAction();
    return result;
}

class FileDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        drop.OnDrop = [this](TFileDrop& sender) {
            ++calls;
            EXPECT_EQ(&sender, &drop);
        };
    }
    RecordingControl control;
    TFileDrop drop;
    int calls = 0;
};

TEST_F(FileDropTest, ThreeFilesInOrder) {
    drop.SetDropControl(&control);
    EXPECT_TRUE(drop.EnableDrop());
    EXPECT_TRUE(control.property("acceptDrops").toBool());

    const auto data = FileData({"/pics/c.jpg", "/pics/a.bmp", "/pics/b.gif"});
    const DropResult r = DragAndDrop(control, *data, {12, 34});
    EXPECT_TRUE(r.enterTaken);
    EXPECT_TRUE(r.dropTaken);
    EXPECT_EQ(r.action, Qt::CopyAction);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(drop.FileCount(), 3);
    EXPECT_EQ(drop.Files(), (std::vector<std::string>{"/pics/c.jpg", "/pics/a.bmp", "/pics/b.gif"}));
    EXPECT_EQ(drop.DropPoint(), QPoint(12, 34));
    // The control itself saw none of the taken drag.
    EXPECT_TRUE(control.seen.empty());

    // The next drop replaces the list.
    DragAndDrop(control, *FileData({"/x/one.png"}));
    EXPECT_EQ(drop.Files(), std::vector<std::string>{"/x/one.png"});
    EXPECT_EQ(calls, 2);
}

TEST_F(FileDropTest, LongNamesFoldersAndOddCharacters) {
    drop.SetDropControl(&control);
    const QString longName = "/data/" + QString(200, 'n') + ".jpg";
    DragAndDrop(control, *FileData({longName, "/data/a folder", "/data/café #1.gif"}));
    ASSERT_EQ(drop.FileCount(), 3);
    EXPECT_EQ(drop.Files()[0], longName.toStdString());
    EXPECT_EQ(drop.Files()[1], "/data/a folder");
    EXPECT_EQ(drop.Files()[2], "/data/café #1.gif");
}

TEST_F(FileDropTest, DisabledDropReportsNothing) {
    drop.SetDropControl(&control);
    drop.SetEnableDrop(false);
    EXPECT_FALSE(control.property("acceptDrops").isValid());
    const DropResult r = DragAndDrop(control, *FileData({"/a.jpg"}));
    EXPECT_FALSE(r.dropTaken);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(drop.FileCount(), 0);
    // Untaken, the events went on to the control.
    EXPECT_EQ(control.seen, (std::vector<QEvent::Type>{QEvent::DragEnter, QEvent::Drop}));
}

TEST_F(FileDropTest, OtherEventsAndDragsPassThrough) {
    drop.SetDropControl(&control);
    QMimeData text;
    text.setText("row 3");
    const DropResult r = DragAndDrop(control, text);
    EXPECT_FALSE(r.dropTaken);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&control, &press);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(&control, &key);
    EXPECT_EQ(control.seen, (std::vector<QEvent::Type>{QEvent::DragEnter, QEvent::Drop, QEvent::MouseButtonPress,
                                                       QEvent::KeyPress}));
    EXPECT_EQ(calls, 0);

    // Web addresses are not files.
    auto web = std::make_unique<QMimeData>();
    web->setUrls({QUrl("https://example.org/a.jpg")});
    EXPECT_FALSE(DragAndDrop(control, *web).dropTaken);
    EXPECT_EQ(calls, 0);
}

TEST_F(FileDropTest, MoveOnlyDragIsRefused) {
    drop.SetDropControl(&control);
    const DropResult r = DragAndDrop(control, *FileData({"/a.jpg"}), {1, 1}, Qt::MoveAction);
    EXPECT_FALSE(r.dropTaken);
    EXPECT_EQ(calls, 0);
}

TEST_F(FileDropTest, ControlContract) {
    // EnableDrop without a control is ignored.
    drop.SetEnableDrop(true);
    EXPECT_FALSE(drop.EnableDrop());
    EXPECT_EQ(drop.DropControl(), nullptr);

    // A control that already accepted drops gets its own value back when let go.
    control.setProperty("acceptDrops", false);
    drop.SetDropControl(&control);
    EXPECT_TRUE(control.property("acceptDrops").toBool());
    drop.SetDropControl(&control);  // the same control: nothing changes
    EXPECT_TRUE(drop.EnableDrop());

    RecordingControl other;
    drop.SetDropControl(&other);
    EXPECT_FALSE(control.property("acceptDrops").toBool());
    DragAndDrop(control, *FileData({"/a.jpg"}));
    EXPECT_EQ(calls, 0);
    DragAndDrop(other, *FileData({"/b.jpg"}));
    EXPECT_EQ(calls, 1);

    drop.SetDropControl(nullptr);
    EXPECT_FALSE(drop.EnableDrop());
    EXPECT_EQ(drop.DropControl(), nullptr);
    DragAndDrop(other, *FileData({"/c.jpg"}));
    EXPECT_EQ(calls, 1);
}

TEST_F(FileDropTest, DestructionUnhooks) {
    {
        TFileDrop shortLived;
        shortLived.SetDropControl(&control);
        EXPECT_TRUE(control.property("acceptDrops").toBool());
    }
    EXPECT_FALSE(control.property("acceptDrops").isValid());
    DragAndDrop(control, *FileData({"/a.jpg"}));
    EXPECT_EQ(control.seen.size(), 2u);
}

TEST_F(FileDropTest, ControlDestroyedFirst) {
    auto shortControl = std::make_unique<RecordingControl>();
    drop.SetDropControl(shortControl.get());
    shortControl.reset();
    EXPECT_EQ(drop.DropControl(), nullptr);
    drop.SetEnableDrop(true);
    EXPECT_FALSE(drop.EnableDrop());
}

TEST_F(FileDropTest, ScrollAreaViewportIsWatched) {
    RecordingControl list;
    RecordingControl* viewport = new RecordingControl;  // owned by `list` as its child
    viewport->setObjectName("qt_scrollarea_viewport");
    viewport->setParent(&list);
    drop.SetDropControl(&list);
    EXPECT_TRUE(viewport->property("acceptDrops").toBool());
    DragAndDrop(*viewport, *FileData({"/v.jpg"}), {3, 4});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(drop.Files(), std::vector<std::string>{"/v.jpg"});
    EXPECT_EQ(drop.DropPoint(), QPoint(3, 4));
    EXPECT_TRUE(viewport->seen.empty());
}

}  // namespace
}  // namespace tovra
