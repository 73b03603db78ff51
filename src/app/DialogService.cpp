#include "DialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

#include "PicturePreviewDialog.h"

namespace tovra {

namespace {
// QProgressDialog driven from the run's callbacks. The run holds the UI thread, so each step lets
// pending events through: paints always, user input only once the window-modal dialog is up and
// keeps it away from the owner. Before that, a click on the owner would reach a window whose list
// the run is reading.
class TQtRunProgress : public TRunProgress {
public:
    TQtRunProgress(QWidget* owner, const QString& title, int count) : dialog_(owner) {
        dialog_.setWindowTitle(title);
        dialog_.setWindowModality(Qt::WindowModal);
        // The dialog's own button: replacing it would leave two Escape shortcuts that cancel each other out.
        dialog_.setCancelButtonText(QStringLiteral("Cancel"));
        if (auto* cancel = dialog_.findChild<QPushButton*>()) cancel->setAccessibleName(QStringLiteral("Cancel"));
        if (auto* bar = dialog_.findChild<QProgressBar*>()) bar->setAccessibleName(title);
        dialog_.setLabelText(title);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setRange(0, count);
        dialog_.setMinimumDuration(kProgressDelayMs);
        dialog_.setValue(0);
    }

    void Step(int index, int, const QString& text) override {
        dialog_.setLabelText(text);
        dialog_.setValue(index);
        LetEventsThrough();
    }

    bool WasCancelled() override {
        LetEventsThrough();
        return dialog_.wasCanceled();
    }

private:
    void LetEventsThrough() {
        const bool shown = dialog_.isVisible();
        if (shown && !busyCursorEased_ && QApplication::overrideCursor()) {
            // The arrow with a busy sign: the run goes on, and Cancel can still be pointed at.
            QApplication::changeOverrideCursor(Qt::BusyCursor);
            busyCursorEased_ = true;
        }
        QCoreApplication::processEvents(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }

    QProgressDialog dialog_;
    bool busyCursorEased_ = false;
};

bool AskYesNo(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
}  // namespace

QStringList QtNameFilters(const QList<TFileFilter>& filters) {
    QStringList result;
    for (const TFileFilter& filter : filters)
        result.push_back(filter.Description + QStringLiteral(" (") + filter.Patterns.join(QLatin1Char(' ')) +
                         QLatin1Char(')'));
    return result;
}

bool TQtDialogService::Question(QWidget* owner, const QString& title, const QString& text) {
    return AskYesNo(owner, QMessageBox::Question, title, text);
}

bool TQtDialogService::WarningYesNo(QWidget* owner, const QString& title, const QString& text) {
    return AskYesNo(owner, QMessageBox::Warning, title, text);
}

void TQtDialogService::Error(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
    box.exec();
}

QStringList TQtDialogService::OpenFiles(QWidget* owner, const TOpenFilesRequest& request) {
    if (request.PicturePreview) return RunPicturePreviewDialog(owner, request);
    QFileDialog dialog(owner, request.Title, request.Directory);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(QtNameFilters(request.Filters));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString TQtDialogService::SaveFile(QWidget* owner, const TSaveFileRequest& request) {
    QFileDialog dialog(owner, QString(), request.Directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(QtNameFilters({request.Filter}));
    dialog.setDefaultSuffix(request.DefaultSuffix);
    // Whether an existing file is replaced is asked by the caller, in its own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.selectFile(request.FileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

QString TQtDialogService::PickFolder(QWidget* owner, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(owner, title, start);
}

std::unique_ptr<TRunProgress> TQtDialogService::StartProgress(QWidget* owner, const QString& title, int count) {
    return std::make_unique<TQtRunProgress>(owner, title, count);
}

}  // namespace tovra
