// The Create PDF command: the proposed name, the save dialog, the question about an existing
// file, and the run through the engine with the busy cursor and, for a long run, a progress
// dialog whose Cancel stops it.
#include <QFileInfo>

#include "DialogService.h"
#include "ErrorMessages.h"
#include "Guards.h"
#include "PDFMain.h"
#include "convert/CreationRun.h"
#include "convert/ImageKinds.h"
#include "convert/ImagePages.h"
#include "convert/OutputName.h"
#include "report/PRPage.h"

namespace tovra {

QString TfrmPDFMain::CreateProgressText(int index, int count, const std::string& fileName) {
    return QStringLiteral("Page %1 of %2: %3")
        .arg(index + 1)
        .arg(count)
        .arg(QString::fromStdString(FileNamePart(fileName)));
}

QString TfrmPDFMain::CreateProgressText(int index, int count, const TPDFImage& entry) {
    return QStringLiteral("Page %1 of %2: %3")
        .arg(index + 1)
        .arg(count)
        .arg(QString::fromStdString(EntryLabel(entry, false)));
}

void TfrmPDFMain::aCreatePDFExecute() {
    // The run lets events through for its progress dialog; a second run must not start inside it.
    if (creating_ || RowCount() == 0) return;
    TSaveFileRequest request;
    request.Filter = {QStringLiteral("PDF Document (*.pdf)"), {QStringLiteral("*.pdf")}};
    request.DefaultSuffix = QStringLiteral("pdf");
    request.Directory = saveDialogDirectory_;
    // Named after the first file of the last Load Images dialog, else (files from the command line,
    // "Open with" or a drop) after the first row: ".pdf" alone would be a hidden file.
    const std::string namedAfter =
        loadDialogFileName_.isEmpty() ? entries_.front()->FileName : loadDialogFileName_.toStdString();
    request.FileName = QString::fromStdString(ProposedPdfName(FileNamePart(namedAfter)));
    const QString path = dialogs_->SaveFile(this, request);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) && !dialogs_->WarningYesNo(this, kAppTitle, QStringLiteral("Replace existing file?")))
        return;

    const TFlagSet creating(creating_);
    const TBusyCursor busy;
    std::vector<const TPDFImage*> rows;
    rows.reserve(entries_.size());
    for (const auto& entry : entries_) rows.push_back(entry.get());
    const std::unique_ptr<TRunProgress> progress =
        dialogs_->StartProgress(this, QStringLiteral("Creating PDF"), static_cast<int>(rows.size()));
    TCreateOptions options;
    options.Build.PreviewMargins = {prpView->MarginTop(), prpView->MarginBottom(), prpView->MarginLeft(),
                                    prpView->MarginRight()};
    options.Build.AutoOrient = Prefs.AutoOrient;
    options.Build.LosslessDecoded = Prefs.LosslessDecoded;
    options.Build.CompactBitmaps = Prefs.CompactBitmaps;
    options.Build.OnRow = [&progress](int index, int count, const TPDFImage& entry) {
        progress->Step(index, count, CreateProgressText(index, count, entry));
    };
    options.Build.Cancelled = [&progress] { return progress->WasCancelled(); };
    if (Prefs.AutoOpenPDF) options.OpenFile = openPdf_;
    try {
        CreatePdf(prMain, rows, path.toStdString(), options);
    } catch (const ERunCancelled&) {
        // Asked for by the user: nothing was written and there is nothing to report.
    }
}

}  // namespace tovra
