#include "app/dialogs/DialogHooks.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tovra {

QString PickFolderWithDesktopDialog(QWidget* owner, const QString& start) {
    return QFileDialog::getExistingDirectory(owner, QString(), start);
}

void ShowErrorBox(QWidget* owner, const QString& message) {
    QString text = message;
    if (!text.isEmpty() && text.back() > QChar('.')) text += '.';
    QMessageBox::critical(owner, QStringLiteral("Tovra PDF"), text);
}

}  // namespace tovra
