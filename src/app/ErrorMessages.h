#pragma once
// How failures are shown: a message box with an error icon headed by the application title,
// the text ending in a full stop when its last character sorts after "." (a letter or digit).
#include <QString>

class QWidget;

namespace tovra {

class TDialogService;

// The application title that heads every message box.
inline const QString kAppTitle = QStringLiteral("Tovra PDF");

// The text as an error box shows it: a full stop appended when the last character sorts
// after "." ("Image not loaded properly" -> "Image not loaded properly.").
QString ErrorBoxText(const QString& message);

// Shows a failure's message through the dialog service.
void ShowError(TDialogService& dialogs, QWidget* owner, const QString& message);

}  // namespace tovra
