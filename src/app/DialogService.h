#pragma once
// Every dialog the main window shows goes through this one service: message boxes, the open
// dialogs of Load Images, the save dialog of Create PDF and the folder picker. The program uses
// the Qt implementation; tests put in a scripted one that answers without showing anything.
#include <QString>
#include <QStringList>

class QWidget;

namespace tovra {

// One entry of a file dialog's filter list: the text shown and the patterns it stands for.
struct TFileFilter {
    QString Description;
    QStringList Patterns;
};

// What an open dialog for images is asked to show.
struct TOpenFilesRequest {
    QString Title;
    QList<TFileFilter> Filters;  // the first one selected
    QString Directory;    // where it starts; empty for the dialog's own choice
    bool PicturePreview = false;  // a pane showing the picture under the cursor
};

// What the save dialog is asked to show.
struct TSaveFileRequest {
    TFileFilter Filter;
    QString DefaultSuffix;  // appended when the name typed has none
    QString Directory;      // where it starts
    QString FileName;       // the proposed name
};

class TDialogService {
public:
    virtual ~TDialogService() = default;

    // A confirmation with Yes and No; true for Yes.
    virtual bool Question(QWidget* owner, const QString& title, const QString& text) = 0;
    // A warning with Yes and No; true for Yes.
    virtual bool WarningYesNo(QWidget* owner, const QString& title, const QString& text) = 0;
    // An error message with an error icon and an OK button.
    virtual void Error(QWidget* owner, const QString& title, const QString& text) = 0;
    // The chosen files, or an empty list when the user cancels.
    virtual QStringList OpenFiles(QWidget* owner, const TOpenFilesRequest& request) = 0;
    // The chosen path, or an empty string when the user cancels. Never asks about existing files.
    virtual QString SaveFile(QWidget* owner, const TSaveFileRequest& request) = 0;
    // The chosen folder, or an empty string when the user cancels.
    virtual QString PickFolder(QWidget* owner, const QString& title, const QString& start) = 0;
};

// The dialogs of the desktop, shown modally.
// The filter list as Qt's file dialogs take it; shown with the option HideNameFilterDetails,
// each entry reads exactly as its description.
QStringList QtNameFilters(const QList<TFileFilter>& filters);

class TQtDialogService : public TDialogService {
public:
    bool Question(QWidget* owner, const QString& title, const QString& text) override;
    bool WarningYesNo(QWidget* owner, const QString& title, const QString& text) override;
    void Error(QWidget* owner, const QString& title, const QString& text) override;
    QStringList OpenFiles(QWidget* owner, const TOpenFilesRequest& request) override;
    QString SaveFile(QWidget* owner, const TSaveFileRequest& request) override;
    QString PickFolder(QWidget* owner, const QString& title, const QString& start) override;
};

}  // namespace tovra
