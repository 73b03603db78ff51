// The menu commands that open the program's other windows.
#include "DialogService.h"
#include "ErrorMessages.h"
#include "PDFMain.h"

namespace tovra {

void TfrmPDFMain::aPrefsExecute() {
    // The preferences dialog is not part of this build yet; the preferences are read and
    // applied again all the same, as they are after the dialog.
    dialogs_->Error(this, kAppTitle, QStringLiteral("The preferences dialog is not available in this build."));
    ReadPrefsIntoWindow();
    ApplyPrefs();
}

void TfrmPDFMain::aPropertiesExecute() {
    dialogs_->Error(this, kAppTitle, QStringLiteral("The document properties dialog is not available in this build."));
}

void TfrmPDFMain::aAboutExecute() {
    dialogs_->Error(this, kAppTitle, QStringLiteral("Tovra PDF\nVersion 1.1"));
}

}  // namespace tovra
