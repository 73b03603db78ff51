#pragma once
// The strip of OK and Cancel buttons the dialogs end with.
class QBoxLayout;
class QDialog;
class QPushButton;

namespace tovra {

struct TOkCancelButtons {
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
};

// Adds "&OK" (the default button, so Enter presses it) and "&Cancel" to the end of the layout,
// named btnOK and btnCancel, with their captions as accessible names. The buttons belong to the
// dialog; the caller connects them.
TOkCancelButtons AddOkCancelButtons(QDialog& dialog, QBoxLayout& layout);

}  // namespace tovra
