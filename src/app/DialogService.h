#pragma once
// Every dialog the main window shows goes through this one service: message boxes, the open
// dialogs of Load Images, the save dialog of Create PDF and the folder picker. The program uses
// the Qt implementation; tests put in a scripted one that answers without showing anything.
#include <memory>

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

// A progress display for a long run on the UI thread. The run reports each step; between steps
// the display lets the desktop repaint and its Cancel button be pressed.
class TRunProgress {
public:
    virtual ~TRunProgress() = default;
    // Step `index` (from 0) of `count` begins; `text` says what it makes.
    virtual void Step(int index, int count, const QString& text) = 0;
    // True once the user asked to stop. Lets pending events through first, so a click made
    // while the step ran is seen.
    virtual bool WasCancelled() = 0;
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
    // A progress display titled `title`, with a Cancel button, for a run of `count` steps. It
    // appears only when the run lasts longer than about half a second, and goes when released.
    virtual std::unique_ptr<TRunProgress> StartProgress(QWidget* owner, const QString& title, int count) = 0;
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
    // A window-modal progress dialog: while it is shown the owner takes no input.
    std::unique_ptr<TRunProgress> StartProgress(QWidget* owner, const QString& title, int count) override;
};

// How long a run goes before its progress dialog appears.
inline constexpr int kProgressDelayMs = 500;

}  // namespace tovra
