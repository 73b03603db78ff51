// The preferences of the main window: read at start and after the preferences dialog, applied
// to the window, written when the window closes.
#include <QCheckBox>

#include "PDFMain.h"
#include "components/Other/IniFile.h"
#include "convert/PageLayout.h"
#include "report/PRJpegImage.h"

namespace tovra {

void TfrmPDFMain::ReadPrefsIntoWindow() { ReadPrefs(Prefs, defaultSaveDir_); }

void TfrmPDFMain::ApplyPrefs() {
    SelectOpenDialog();
    cbFullPath->setChecked(Prefs.ShowFullPaths);  // its handler rewrites the rows on a change
    cbShowPreview->setChecked(Prefs.ShowPreview);  // its handler shows or hides the preview
    saveDialogDirectory_ = QString::fromStdString(Prefs.DefaultSaveDir);
    if (Prefs.PDFDefaults) ShowSettings(*Prefs.PDFDefaults);
    for (TPRImage* item : {static_cast<TPRImage*>(priViewJPG), priView}) {
        if (item->AutoOrient() == Prefs.AutoOrient) continue;
        item->SetAutoOrient(Prefs.AutoOrient);
        // A picture shown turns, and its width and height swap for the layout.
        if (currentImage_ && item->Visible() && (currentImage_->JpegItem == item || currentImage_->BitmapItem == item))
            LayoutPage(currentImage_);
    }
    ApplyCreatePdfRule();
}

bool TfrmPDFMain::WritePrefsShowingFailure() {
    try {
        WritePrefs(Prefs);
        return true;
    } catch (const std::exception& failure) {
        ShowFailure(QString::fromUtf8(failure.what()));
        return false;
    }
}

}  // namespace tovra
