#include "ErrorMessages.h"

#include "DialogService.h"

namespace tovra {

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.')) return message + QChar('.');
    return message;
}

void ShowError(TDialogService& dialogs, QWidget* owner, const QString& message) {
    dialogs.Error(owner, kAppTitle, ErrorBoxText(message));
}

}  // namespace tovra
