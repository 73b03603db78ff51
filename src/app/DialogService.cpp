#include "DialogService.h"

#include <QFileDialog>
#include <QMessageBox>

#include "PicturePreviewDialog.h"

namespace tovra {

namespace {
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

}  // namespace tovra
