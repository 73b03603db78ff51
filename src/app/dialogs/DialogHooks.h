#pragma once
// What the dialogs need from the window that opens them, as plain callables so they do not
// depend on it. Each has a working default (the desktop's own dialogs); tests replace them.
#include <QString>

#include <functional>

class QWidget;

namespace tovra {

// Lets the user choose a folder; returns it, or "" when the user cancels.
using TFolderPicker = std::function<QString(QWidget* owner, const QString& start)>;
// Shows a failure's message to the user.
using TErrorReporter = std::function<void(QWidget* owner, const QString& message)>;

// The desktop's folder dialog.
QString PickFolderWithDesktopDialog(QWidget* owner, const QString& start);
// A message box with an error icon headed "Tovra PDF"; a full stop is appended when the text's
// last character sorts after ".".
void ShowErrorBox(QWidget* owner, const QString& message);

}  // namespace tovra
