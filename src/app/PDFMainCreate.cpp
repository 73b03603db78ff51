// The Create PDF command: the proposed name, the save dialog, the question about an existing
// file, and the run through the engine with the busy cursor shown.
#include <QFileInfo>

#include "DialogService.h"
#include "ErrorMessages.h"
#include "Guards.h"
#include "PDFMain.h"
#include "convert/CreationRun.h"
#include "convert/ImageKinds.h"
#include "convert/OutputName.h"
#include "report/PRPage.h"

namespace tovra {

void TfrmPDFMain::aCreatePDFExecute() {
    if (RowCount() == 0) return;
    TSaveFileRequest request;
    request.Filter = {QStringLiteral("PDF Document (*.pdf)"), {QStringLiteral("*.pdf")}};
    request.DefaultSuffix = QStringLiteral("pdf");
    request.Directory = saveDialogDirectory_;
    request.FileName = QString::fromStdString(ProposedPdfName(FileNamePart(loadDialogFileName_.toStdString())));
    const QString path = dialogs_->SaveFile(this, request);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) && !dialogs_->WarningYesNo(this, kAppTitle, QStringLiteral("Replace existing file?")))
        return;

    const TBusyCursor busy;
    std::vector<const TPDFImage*> rows;
    rows.reserve(entries_.size());
    for (const auto& entry : entries_) rows.push_back(entry.get());
    TCreateOptions options;
    options.Build.PreviewMargins = {prpView->MarginTop(), prpView->MarginBottom(), prpView->MarginLeft(),
                                    prpView->MarginRight()};
    if (Prefs.AutoOpenPDF) options.OpenFile = openPdf_;
    CreatePdf(prMain, rows, path.toStdString(), options);
}

}  // namespace tovra
