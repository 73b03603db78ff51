// The preferences of the main window: read at start and after the preferences dialog, applied
// to the window, written when the window closes.
#include <QCheckBox>
#include <QTimer>

#include "PDFMain.h"
#include "components/Other/IniFile.h"
#include "convert/PageLayout.h"
#include "report/PRJpegImage.h"

namespace tovra {

QString TfrmPDFMain::TooLargeIniMessage(const std::string& path) {
    return QStringLiteral("The preferences file \"%1\" is larger than 1 MB and was not read. The default "
                          "preferences are used, and the file will be replaced when the window is closed")
        .arg(QString::fromStdString(path));
}

void TfrmPDFMain::ReadPrefsIntoWindow() {
    // A stored paper wins; without one, the system's paper (libpaper) if the paper box has it.
    const TIniLoad load = ReadPrefs(Prefs, defaultSaveDir_, {}, DefaultPaperName(papers_));
    // Said once, at the first read that finds it; later reads (after the preferences dialog) are quiet.
    if (load == TIniLoad::TooLarge && !tooLargeIniReported_) {
        tooLargeIniReported_ = true;
        QTimer::singleShot(0, this, [this, path = DefaultIniFile()] { ShowFailure(TooLargeIniMessage(path)); });
    }
}

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
