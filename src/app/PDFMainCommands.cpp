// The menu commands that open the program's other windows: preferences, document properties
// and About. Each is made when asked for, shown modally and destroyed when it closes.
#include "DialogService.h"
#include "ErrorMessages.h"
#include "PDFMain.h"
#include "app/dialogs/PDFAbout.h"
#include "app/dialogs/PDFPrefs.h"
#include "app/dialogs/PDFProperties.h"

namespace tovra {

void TfrmPDFMain::RunDialog(QDialog& dialog) {
    if (runDialog_) {
        runDialog_(dialog);
    } else {
        dialog.exec();
    }
}

void TfrmPDFMain::aPrefsExecute() {
    TPrefsDialogHooks hooks;
    hooks.Updating = [this] { return updating_; };
    hooks.SetUpdating = [this](bool flag) { SetUpdating(flag); };
    hooks.PickFolder = [this](QWidget* owner, const QString& start) {
        return dialogs_->PickFolder(owner, QString(), start);
    };
    hooks.ShowError = [this](QWidget* owner, const QString& message) { ShowError(*dialogs_, owner, message); };
    {
        TfrmPDFPrefs dialog(Prefs, hooks, this);
        RunDialog(dialog);
        // Whether OK wrote the file or Cancel wrote nothing, the window takes what the file says.
        ReadPrefsIntoWindow();
        ApplyPrefs();
    }
}

void TfrmPDFMain::aPropertiesExecute() {
    TfrmPDFProperties dialog(prMain, this);
    RunDialog(dialog);
}

void TfrmPDFMain::aAboutExecute() {
    TfrmPDFAbout about(this);
    RunDialog(about);
}

}  // namespace tovra
