// Files dropped from a file manager onto the list arrive through the drop target: supported
// kinds are added in the order given (not sorted) and the last one is shown.
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <QAction>

#include <QDir>

#include "CommandLineFiles.h"
#include "ImageListBox.h"
#include "MainWindowFixture.h"

namespace tovra::test {
namespace {

using FileDropOnList = MainWindowTest;

TEST_F(FileDropOnList, AddsTheDroppedImagesInTheirOrderAndShowsTheLast) {
    auto& w = MakeWindow();
    w.show();
    const QString c = QString::fromStdString(Picture("c.jpg"));
    const QString a = QString::fromStdString(Picture("a.bmp"));
    const QString notes = QString::fromStdString((dir / "notes.txt").string());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(c), QUrl::fromLocalFile(notes), QUrl::fromLocalFile(a)});
    QWidget* target = w.lbFiles->viewport();
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);

    EXPECT_EQ(Rows(), QStringList({"c.jpg", "a.bmp"}));
    EXPECT_EQ(w.SelectedRow(), 1);
    EXPECT_EQ(w.CurrentImage(), w.EntryOf(1));
    EXPECT_TRUE(dialogs->Errors().isEmpty());
    EXPECT_TRUE(w.aCreatePDF->isEnabled());
}

}  // namespace
}  // namespace tovra::test

namespace tovra::test {
namespace {

using CommandLine = MainWindowTest;

TEST_F(CommandLine, NamedFilesEnterTheListAsADropBringsThem) {
    auto& w = MakeWindow();
    AddCommandLineFiles(w, {});
    EXPECT_EQ(w.RowCount(), 0);
    EXPECT_TRUE(dialogs->Errors().isEmpty());

    const QString b = QString::fromStdString(Picture("b.gif"));
    const QString a = QString::fromStdString(Picture("a.jpg"));
    const QString relative = QDir::current().relativeFilePath(a);
    AddCommandLineFiles(w, {b, "readme.txt", relative});
    EXPECT_EQ(Rows(), QStringList({"b.gif", "a.jpg"}));
    EXPECT_EQ(QString::fromStdString(w.EntryOf(1)->FileName), a);  // made a full path
    EXPECT_EQ(w.CurrentImage(), w.EntryOf(1));
    EXPECT_TRUE(dialogs->Errors().isEmpty());
}

}  // namespace
}  // namespace tovra::test
