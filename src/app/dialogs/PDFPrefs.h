#pragma once
// The preferences dialog: edits its own copy of the main window's preferences and writes that
// copy to the INI file when OK is pressed; Cancel (or Esc) writes nothing. The window that
// opens it reads the INI file again afterwards, whichever way it was closed.
//
//   TfrmPDFPrefs dialog(Prefs, hooks, this);
//   dialog.exec();
//   // ReadPrefs into the window's record, then apply it.
#include <QDialog>

#include <functional>
#include <memory>

#include "app/dialogs/DialogHooks.h"
#include "convert/PDFImage.h"
#include "convert/PaperList.h"
#include "convert/Prefs.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace tovra {

class TReportingEdit;

// The main window's side of the dialog.
struct TPrefsDialogHooks {
    // The main window's Updating flag: set while the dialog is created, so the control changes
    // made then are not read back; while it is set, reading the controls does nothing.
    std::function<bool()> Updating;
    std::function<void(bool)> SetUpdating;
    TFolderPicker PickFolder = PickFolderWithDesktopDialog;
    TErrorReporter ShowError = ShowErrorBox;
};

class TfrmPDFPrefs : public QDialog {
public:
    // Copies `mainPrefs` (flags, DefaultSaveDir and page settings) into the dialog's own record.
    TfrmPDFPrefs(const TPrefsRecord& mainPrefs, TPrefsDialogHooks hooks, QWidget* parent = nullptr);
    ~TfrmPDFPrefs() override;

    // The dialog's record, with its own PDFDefaults entry.
    const TPrefsRecord& Prefs() const { return prefs_; }

    void SetControlsFromPrefs();
    void SetPrefsFromControls();
    void btnOKClick();
    void btnCancelClick();

    // Controls, owned by the dialog through Qt's parent links.
    TReportingEdit* edtDefaultSaveDir = nullptr;
    QPushButton* btnBrowse = nullptr;
    QCheckBox* cbAutoOpenPDF = nullptr;
    QCheckBox* cbShowPicPreviewDialog = nullptr;
    QCheckBox* cbAutoOrient = nullptr;
    QCheckBox* cbLosslessDecoded = nullptr;
    QCheckBox* cbCompactBitmaps = nullptr;
    TReportingEdit* edtMarginTop = nullptr;
    TReportingEdit* edtMarginBottom = nullptr;
    TReportingEdit* edtMarginLeft = nullptr;
    TReportingEdit* edtMarginRight = nullptr;
    QRadioButton* cbStretch = nullptr;
    QRadioButton* cbFit = nullptr;
    QRadioButton* cbFull = nullptr;
    QComboBox* cbPaper = nullptr;
    QRadioButton* cbPortrait = nullptr;
    QRadioButton* cbLandscape = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void BuildControls();
    QWidget* BuildUpperPart();
    void AddLosslessDecodedBox(QVBoxLayout& layout);
    QWidget* BuildPageSettings();
    void ConnectHandlers();
    void FillPaperBox();
    void BrowseForFolder();
    bool Updating() const;

    TPrefsDialogHooks hooks_;
    std::unique_ptr<TPDFImage> pdfDefaults_;
    TPrefsRecord prefs_;
    TPaperList papers_;
    bool creating_ = true;
};

}  // namespace tovra
