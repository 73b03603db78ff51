// The settings panel: carrying page settings between its controls and an entry, its change
// handlers (silent while Updating is set) and "Apply settings to all pages".
#include <cmath>
#include <limits>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "DialogService.h"
#include "ErrorMessages.h"
#include "ImageListBox.h"
#include "PDFMain.h"
#include "convert/PageLayout.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"

namespace tovra {

namespace {

// A margin field's value truncated towards zero; text that is no number counts as 0.
std::int32_t WholeValue(const QLineEdit* field) {
    bool ok = false;
    const double value = QLocale::c().toDouble(field->text().trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return 0;
    const double cut = std::trunc(value);
    if (cut >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (cut <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(cut);
}

// Checks one radio button of a group without the group forcing another one on or off, so that
// all three sizing buttons can end up unchecked.
void SetCheckedFreely(QRadioButton* button, bool checked) {
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

}  // namespace

void TfrmPDFMain::ReadSizeMethod(TPDFImage* entry) {
    if (!entry) return;
    if (cbStretch->isChecked()) {
        entry->SizeMethod = smStretch;
    } else if (cbFit->isChecked()) {
        entry->SizeMethod = smFit;
    } else {
        entry->SizeMethod = smFullSize;
    }
    ReadMargins(entry);
}

void TfrmPDFMain::ReadMargins(TPDFImage* entry) {
    if (!entry) return;
    ApplyMargins(*entry, WholeValue(edtMarginTop), WholeValue(edtMarginBottom), WholeValue(edtMarginLeft),
                 WholeValue(edtMarginRight));
}

void TfrmPDFMain::ReadPaper(TPDFImage* entry) {
    const int index = cbPaper->currentIndex();
    if (!entry || index < 0 || index >= papers_.Count()) return;
    const TPointObj& size = papers_.Object(index);
    ApplyPaper(*entry, papers_.Text(index), size.X, size.Y, cbPortrait->isChecked());
}

void TfrmPDFMain::ShowSettings(const TPDFImage& shown) {
    // A copy: the handlers fired below may change the entry being shown.
    TPDFImage entry;
    CopyImage(entry, shown);
    SetCheckedFreely(cbStretch, entry.SizeMethod == smStretch);
    SetCheckedFreely(cbFit, entry.SizeMethod == smFit);
    SetCheckedFreely(cbFull, entry.SizeMethod == smFullSize);

    edtMarginTop->setText(QString::number(entry.MarginTop));
    edtMarginBottom->setText(QString::number(entry.MarginBottom));
    edtMarginLeft->setText(QString::number(entry.MarginLeft));
    edtMarginRight->setText(QString::number(entry.MarginRight));

    int paper = papers_.IndexOf(entry.PaperName);
    if (paper < 0 && papers_.Count() > 0) paper = 0;
    papers_.SetItemIndex(paper);
    cbPaper->setCurrentIndex(paper);  // selecting by program fires nothing

    cbPortrait->setChecked(entry.PaperPortrait);
    cbLandscape->setChecked(!entry.PaperPortrait);
}

void TfrmPDFMain::HideItems(const TPDFImage& entry) {
    if (entry.BitmapItem) entry.BitmapItem->SetVisible(false);
    if (entry.JpegItem) entry.JpegItem->SetVisible(false);
}

void TfrmPDFMain::ApplySettings(TPDFImage* entry) {
    ReadSizeMethod(entry);
    ReadPaper(entry);
}

void TfrmPDFMain::ApplySettingsToAll() {
    for (const auto& entry : entries_)
        if (entry) ApplySettings(entry.get());
}

void TfrmPDFMain::cbStretchClick() {
    if (updating_) return;
    ReadSizeMethod(currentImage_);
    LayoutPage(currentImage_);
}

void TfrmPDFMain::edtMarginChange() {
    if (updating_) return;
    ReadMargins(currentImage_);
    LayoutPage(currentImage_);
}

void TfrmPDFMain::cbPaperChange() {
    if (updating_) return;
    ReadPaper(currentImage_);
    ReadMargins(currentImage_);
    LayoutPage(currentImage_);
}

void TfrmPDFMain::btnApplyToAllClick() {
    if (updating_) return;
    if (RowCount() < 2) return;
    if (!dialogs_->Question(this, kAppTitle, QStringLiteral("Are you sure? All pages will use the current settings.")))
        return;
    ApplySettingsToAll();
}

}  // namespace tovra
