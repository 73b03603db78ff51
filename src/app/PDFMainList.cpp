// The image list: adding files (Load Images, drops), showing a row's entry, removing rows,
// clearing, row texts, moving rows by dragging and the Create PDF rule.
#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QCollator>
#include <QFileInfo>
#include <QScrollBar>
#include <QSignalBlocker>

#include "DamageCheck.h"
#include "DialogService.h"
#include "ErrorMessages.h"
#include "Guards.h"
#include "ImageListBox.h"
#include "PDFMain.h"
#include "common/Exceptions.h"
#include "PreviewNote.h"
#include "PreviewView.h"
#include "imaging/JpegImage.h"
#include "convert/ImageKinds.h"
#include "convert/ImagePages.h"
#include "convert/PageLayout.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"

namespace tovra {

namespace {

std::string ToPath(const QString& name) { return name.toStdString(); }

// "*.png" for ".PNG": a dialog pattern for an extension of the table of kinds.
QString PatternOf(std::string_view extension) {
    return QStringLiteral("*") + QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())).toLower();
}

// The filters of both Load Images dialogs, the first one selected when they open: every kind
// together, then each kind of the table with its own caption, then every file.
QList<TFileFilter> LoadImageFilters() {
    QList<TFileFilter> filters;
    QStringList all;
    for (const TImageFormat& format : ImageFormats()) {
        QStringList patterns;
        for (std::string_view extension : format.Extensions) patterns.push_back(PatternOf(extension));
        all += patterns;
        filters.push_back({QString::fromLatin1(format.FilterCaption.data(),
                                               static_cast<qsizetype>(format.FilterCaption.size())),
                           patterns});
    }
    filters.push_front({QStringLiteral("All Image Files (") + all.join(QLatin1Char(';')) + QStringLiteral(")"), all});
    // Every file: on Linux "*.*" would hide the names without a dot.
    filters.push_back({QStringLiteral("All Files (*.*)"), {QStringLiteral("*")}});
    return filters;
}

}  // namespace

int TfrmPDFMain::RowCount() const { return lbFiles->count(); }

TPDFImage* TfrmPDFMain::EntryOf(int row) const {
    if (row < 0 || row >= static_cast<int>(entries_.size())) return nullptr;
    return entries_[static_cast<std::size_t>(row)].get();
}

int TfrmPDFMain::SelectedRow() const {
    const int row = lbFiles->currentRow();
    const QListWidgetItem* item = lbFiles->item(row);
    return item && item->isSelected() ? row : -1;
}

QString TfrmPDFMain::RowText(const TPDFImage& entry) const {
    return QString::fromStdString(EntryLabel(entry, cbFullPath->isChecked()));
}

void TfrmPDFMain::ApplyCreatePdfRule() { aCreatePDF->setEnabled(RowCount() > 0); }

int TfrmPDFMain::AddImageFiles(const QStringList& names) {
    int result = -1;
    const QSignalBlocker quiet(lbFiles);
    lbFiles->setUpdatesEnabled(false);
    for (const QString& name : names) {
        const std::string path = ToPath(name);
        const TImageKind kind = ImageKindOfFile(path);
        if (kind == ikNone) continue;
        TPDFImage settings;
        settings.FileName = path;
        settings.ImageKind = kind;
        ReadSizeMethod(&settings);
        ReadMargins(&settings);
        ReadPaper(&settings);
        if (kind == ikJPEG) {
            settings.JpegItem = priViewJPG;
        } else {
            settings.BitmapItem = priView;
        }
        settings.LayoutPanel = PRLayoutPanel1;
        settings.Page = prpView;
        // The picture is not read here, only when its row is shown or its page is made; a
        // multi-page file gives one row per page, each with its own entry.
        for (const TPDFImage& page : EntriesPerPage(settings)) {
            auto entry = std::make_unique<TPDFImage>(page);
            lbFiles->addItem(RowText(*entry));
            entries_.push_back(std::move(entry));
            result = RowCount() - 1;
        }
    }
    lbFiles->setUpdatesEnabled(true);
    ApplyCreatePdfRule();
    return result;
}

void TfrmPDFMain::ShowImage(int index) {
    QString failure;
    try {
        if (RowCount() == 0) {
            HideItems(*currentImage_);
            damageCheck_->Stop();
            lblPreviewNote->ShowNote({});
        } else {
            TPDFImage* entry = EntryOf(index);
            if (!entry) throw Exception("Image not loaded properly");
            if (entry != currentImage_) {
                HideItems(*currentImage_);
                const TFlagSet updating(updating_);
                const TBusyCursor busy;
                currentImage_ = entry;
                damageCheck_->Stop();
                lblPreviewNote->ShowNote({});
                LoadPicture(*entry);
                ShowSettings(*entry);
                prpViewWidget->CheckPaints();
                CheckShownJpeg(*entry);
            }
        }
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("Unknown failure");
    }
    // The final steps run whatever happened above.
    ApplyCreatePdfRule();
    {
        const QSignalBlocker quiet(lbFiles);
        if (index >= 0 && index < RowCount()) {
            lbFiles->setCurrentRow(index);
        } else {
            lbFiles->setCurrentRow(-1);
            lbFiles->clearSelection();
        }
    }
    TRedrawSuspended::SetRedrawOn(prpViewWidget);
    if (!failure.isEmpty()) ShowFailure(failure);
}

void TfrmPDFMain::CheckShownJpeg(const TPDFImage& entry) {
    // A damaged picture shows all the same (and goes into the PDF as it is); the note says so.
    if (entry.ImageKind != ikJPEG || !entry.JpegItem) return;
    if (const TJpegImage* jpeg = entry.JpegItem->Picture().Jpeg()) damageCheck_->Start(jpeg->Data());
}

void TfrmPDFMain::CreatePlaceholder() {
    placeholder_ = std::make_unique<TPDFImage>();
    placeholder_->BitmapItem = priView;
    placeholder_->LayoutPanel = PRLayoutPanel1;
    placeholder_->Page = prpView;
    currentImage_ = placeholder_.get();
}

void TfrmPDFMain::ReplaceCurrentByPlaceholder() {
    auto fresh = std::make_unique<TPDFImage>();
    // Linked to both preview items, so that the next ShowImage hides whichever showed the
    // destroyed entry without reading it.
    fresh->BitmapItem = priView;
    fresh->JpegItem = priViewJPG;
    fresh->LayoutPanel = PRLayoutPanel1;
    fresh->Page = prpView;
    // It takes the settings the panel shows, so later edits lay out a page of that paper.
    ApplySettings(fresh.get());
    placeholder_ = std::move(fresh);
    currentImage_ = placeholder_.get();
}

void TfrmPDFMain::RemoveCurrentImage() {
    const int row = SelectedRow();
    if (row < 0) return;
    if (EntryOf(row) == currentImage_) ReplaceCurrentByPlaceholder();
    entries_.erase(entries_.begin() + row);
    {
        const QSignalBlocker quiet(lbFiles);
        std::unique_ptr<QListWidgetItem> removed(lbFiles->takeItem(row));
    }
    ShowImage(row == 0 && RowCount() > 0 ? 0 : row - 1);
    ApplyCreatePdfRule();
}

void TfrmPDFMain::ClearImageList() {
    if (currentImage_ != placeholder_.get()) ReplaceCurrentByPlaceholder();
    entries_.clear();
    {
        const QSignalBlocker quiet(lbFiles);
        lbFiles->clear();
    }
    ShowImage(-1);
    ApplyCreatePdfRule();
}

void TfrmPDFMain::lbFilesClick() {
    const int row = SelectedRow();
    if (row >= 0) ShowImage(row);
    ApplyCreatePdfRule();
}

void TfrmPDFMain::cbFullPathClick() {
    Prefs.ShowFullPaths = cbFullPath->isChecked();
    const TRedrawSuspended suspended(lbFiles);
    const QSignalBlocker quiet(lbFiles);
    for (int row = 0; row < RowCount(); ++row)
        if (const TPDFImage* entry = EntryOf(row)) lbFiles->item(row)->setText(RowText(*entry));
}

void TfrmPDFMain::MoveRow(int from, int target) {
    if (from < 0 || from >= RowCount() || target >= RowCount()) return;
    const QSignalBlocker quiet(lbFiles);
    const int topRow = lbFiles->verticalScrollBar()->value();
    std::unique_ptr<QListWidgetItem> item(lbFiles->takeItem(from));
    std::unique_ptr<TPDFImage> entry = std::move(entries_[static_cast<std::size_t>(from)]);
    entries_.erase(entries_.begin() + from);
    if (target >= 0 && from < target) --target;
    const int landed = target < 0 ? RowCount() : target;
    lbFiles->insertItem(landed, item.release());  // the list owns its rows
    entries_.insert(entries_.begin() + landed, std::move(entry));
    lbFiles->verticalScrollBar()->setValue(topRow);
    // The moved row stays selected; its entry stays the current one.
    lbFiles->setCurrentRow(landed);
}

QStringList TfrmPDFMain::SortedLoadNames(const QStringList& names) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    // Names equal apart from case: the first one chosen stays.
    QStringList result;
    for (const QString& name : sorted)
        if (result.isEmpty() || collator.compare(result.back(), name) != 0) result.push_back(name);
    return result;
}

void TfrmPDFMain::SelectOpenDialog() { picturePreviewDialog_ = Prefs.ShowPicPreviewDialog; }

void TfrmPDFMain::aLoadImagesExecute() {
    TOpenFilesRequest request;
    request.Title = QStringLiteral("Load Images");
    request.Filters = LoadImageFilters();
    request.Directory = loadDialogDirectory_;
    request.PicturePreview = picturePreviewDialog_;
    const QStringList chosen = dialogs_->OpenFiles(this, request);
    if (chosen.isEmpty()) return;
    loadDialogFileName_ = chosen.first();
    loadDialogDirectory_ = QFileInfo(chosen.first()).absolutePath();
    ShowImage(AddImageFiles(SortedLoadNames(chosen)));
}

void TfrmPDFMain::fdFilesDrop(const QStringList& names) {
    QStringList kept;
    for (const QString& name : names)
        if (ImageKindOfFile(ToPath(name)) != ikNone) kept.push_back(name);
    ShowImage(AddImageFiles(kept));
}

}  // namespace tovra
