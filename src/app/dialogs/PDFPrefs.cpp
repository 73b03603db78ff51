#include "app/dialogs/PDFPrefs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

#include "app/dialogs/DialogButtons.h"
#include "app/dialogs/ReportingEdit.h"

namespace tovra {

namespace {

// Sets a radio button's state; unchecking an auto-exclusive one needs its exclusivity lifted
// for a moment, so that a value outside the choices can leave every button of a group clear.
void SetRadio(QRadioButton* button, bool checked) {
    if (checked || !button->isChecked()) {
        button->setChecked(checked);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

// Clears the main window's Updating flag however creation ends.
class TUpdatingScope {
public:
    explicit TUpdatingScope(const std::function<void(bool)>& set) : set_(set) {
        if (set_) set_(true);
    }
    ~TUpdatingScope() {
        if (set_) set_(false);
    }
    TUpdatingScope(const TUpdatingScope&) = delete;
    TUpdatingScope& operator=(const TUpdatingScope&) = delete;

private:
    const std::function<void(bool)>& set_;
};

QLabel* BuddyLabel(const QString& caption, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    field->setAccessibleName(QString(caption).remove('&').trimmed());
    return label;
}

std::int32_t MarginOf(const TReportingEdit* field) { return static_cast<std::int32_t>(std::trunc(field->Value())); }

}  // namespace

TfrmPDFPrefs::TfrmPDFPrefs(const TPrefsRecord& mainPrefs, TPrefsDialogHooks hooks, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      hooks_(std::move(hooks)) {
    BuildControls();
    {
        const TUpdatingScope updating(hooks_.SetUpdating);
        FillPaperBox();
        pdfDefaults_ = std::make_unique<TPDFImage>();
        prefs_.PDFDefaults = pdfDefaults_.get();
        CopyPrefs(mainPrefs, prefs_);
        SetControlsFromPrefs();
        creating_ = false;
    }
    ConnectHandlers();
}

TfrmPDFPrefs::~TfrmPDFPrefs() = default;

void TfrmPDFPrefs::BuildControls() {
    setWindowTitle(QStringLiteral("Preferences"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildUpperPart());
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    layout->addWidget(separator);
    layout->addWidget(BuildPageSettings());

    const TOkCancelButtons buttons = AddOkCancelButtons(*this, *layout);
    btnOK = buttons.OK;
    btnCancel = buttons.Cancel;

    // Fixed in size: the designed client area, or what the desktop's fonts need when larger.
    const QSize hint = sizeHint();
    setFixedSize(std::max(270, hint.width()), std::max(325, hint.height()));
}

QWidget* TfrmPDFPrefs::BuildUpperPart() {
    auto* part = new QWidget(this);
    auto* layout = new QVBoxLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);

    edtDefaultSaveDir = new TReportingEdit(false, part);
    edtDefaultSaveDir->setObjectName("edtDefaultSaveDir");
    layout->addWidget(BuddyLabel(QStringLiteral("Default directory for new PDFs"), edtDefaultSaveDir, part));
    auto* row = new QHBoxLayout;
    row->addWidget(edtDefaultSaveDir, 1);
    btnBrowse = new QPushButton(QStringLiteral("..."), part);
    btnBrowse->setObjectName("btnBrowse");
    btnBrowse->setAccessibleName(QStringLiteral("Choose the default directory for new PDFs"));
    btnBrowse->setAutoDefault(false);
    btnBrowse->setFixedWidth(btnBrowse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    row->addWidget(btnBrowse);
    layout->addLayout(row);

    cbAutoOpenPDF = new QCheckBox(QStringLiteral("Automatically open new PDFs "), part);
    cbAutoOpenPDF->setObjectName("cbAutoOpenPDF");
    cbShowPicPreviewDialog = new QCheckBox(QStringLiteral("Show image preview when loading images"), part);
    cbShowPicPreviewDialog->setObjectName("cbShowPicPreviewDialog");
    cbAutoOrient = new QCheckBox(QStringLiteral("Turn photos upright (EXIF orientation)"), part);
    cbAutoOrient->setObjectName("cbAutoOrient");
    for (QCheckBox* box : {cbAutoOpenPDF, cbShowPicPreviewDialog, cbAutoOrient}) {
        box->setAccessibleName(box->text().trimmed());
        layout->addWidget(box);
    }
    AddLosslessDecodedBox(*layout);
    // Made after the boxes above so that Tab reaches it in the order it is shown.
    cbCompactBitmaps = new QCheckBox(QStringLiteral("Smaller files for bitmap pictures (lossless)"), part);
    cbCompactBitmaps->setObjectName("cbCompactBitmaps");
    cbCompactBitmaps->setAccessibleName(cbCompactBitmaps->text());
    layout->addWidget(cbCompactBitmaps);
    return part;
}

// Right under the photo box: decoded photos (HEIF, AVIF) as exact pixels instead of JPEG.
void TfrmPDFPrefs::AddLosslessDecodedBox(QVBoxLayout& layout) {
    cbLosslessDecoded = new QCheckBox(QStringLiteral("Exact pixels for HEIF and AVIF photos (larger files)"), this);
    cbLosslessDecoded->setObjectName("cbLosslessDecoded");
    cbLosslessDecoded->setAccessibleName(cbLosslessDecoded->text());
    layout.addWidget(cbLosslessDecoded);
    connect(cbLosslessDecoded, &QCheckBox::clicked, this, [this] { SetPrefsFromControls(); });
}

QWidget* TfrmPDFPrefs::BuildPageSettings() {
    auto* part = new QWidget(this);
    auto* grid = new QGridLayout(part);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* margins = new QGroupBox(QStringLiteral(" Margins (pixels) "), part);
    auto* marginGrid = new QGridLayout(margins);
    const struct {
        TReportingEdit*& field;
        const char* name;
        const char* caption;
        int row, column;
    } fields[] = {{edtMarginTop, "edtMarginTop", "top", 0, 0},
                  {edtMarginBottom, "edtMarginBottom", "bottom", 1, 0},
                  {edtMarginLeft, "edtMarginLeft", "left", 0, 2},
                  {edtMarginRight, "edtMarginRight", "right", 1, 2}};
    for (const auto& f : fields) {
        f.field = new TReportingEdit(true, margins);
        f.field->setObjectName(f.name);
        f.field->setText(QStringLiteral("20"));
        // Room for a few digits; margins are small numbers.
        f.field->setMaximumWidth(f.field->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
        marginGrid->addWidget(BuddyLabel(QString::fromLatin1(f.caption), f.field, margins), f.row, f.column);
        marginGrid->addWidget(f.field, f.row, f.column + 1);
    }
    grid->addWidget(margins, 0, 0);

    auto* sizing = new QGroupBox(QStringLiteral(" Sizing Options "), part);
    auto* sizingLayout = new QVBoxLayout(sizing);
    cbStretch = new QRadioButton(QStringLiteral("&Stretch"), sizing);
    cbFit = new QRadioButton(QStringLiteral("F&it"), sizing);
    cbFull = new QRadioButton(QStringLiteral("F&ull Size"), sizing);
    cbStretch->setObjectName("cbStretch");
    cbFit->setObjectName("cbFit");
    cbFull->setObjectName("cbFull");
    cbFit->setChecked(true);
    for (QRadioButton* button : {cbStretch, cbFit, cbFull}) sizingLayout->addWidget(button);
    grid->addWidget(sizing, 0, 1, 2, 1);

    auto* paper = new QGroupBox(QStringLiteral(" Paper Size "), part);
    auto* paperLayout = new QVBoxLayout(paper);
    cbPaper = new QComboBox(paper);
    cbPaper->setObjectName("cbPaper");
    cbPaper->setEditable(false);
    cbPaper->setAccessibleName(QStringLiteral("Paper Size"));
    paperLayout->addWidget(cbPaper);
    grid->addWidget(paper, 1, 0);

    auto* orientation = new QGroupBox(QStringLiteral("Orientation"), part);
    auto* orientationLayout = new QHBoxLayout(orientation);
    cbPortrait = new QRadioButton(QStringLiteral("P&ortrait"), orientation);
    cbLandscape = new QRadioButton(QStringLiteral("L&andscape"), orientation);
    cbPortrait->setObjectName("cbPortrait");
    cbLandscape->setObjectName("cbLandscape");
    cbPortrait->setChecked(true);
    orientationLayout->addWidget(cbPortrait);
    orientationLayout->addWidget(cbLandscape);
    grid->addWidget(orientation, 2, 0, 1, 2);

    for (QRadioButton* button : {cbStretch, cbFit, cbFull, cbPortrait, cbLandscape})
        button->setAccessibleName(button->text().remove('&'));
    return part;
}

void TfrmPDFPrefs::ConnectHandlers() {
    for (QCheckBox* box : {cbAutoOpenPDF, cbShowPicPreviewDialog, cbAutoOrient, cbCompactBitmaps})
        connect(box, &QCheckBox::clicked, this, [this] { SetPrefsFromControls(); });
    for (QRadioButton* button : {cbStretch, cbFit, cbFull, cbPortrait, cbLandscape})
        connect(button, &QRadioButton::clicked, this, [this] { SetPrefsFromControls(); });
    connect(cbPaper, &QComboBox::currentIndexChanged, this, [this] { SetPrefsFromControls(); });
    for (TReportingEdit* field : {edtDefaultSaveDir, edtMarginTop, edtMarginBottom, edtMarginLeft, edtMarginRight})
        field->OnExit = [this] { SetPrefsFromControls(); };
    connect(btnBrowse, &QPushButton::clicked, this, [this] { BrowseForFolder(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

void TfrmPDFPrefs::FillPaperBox() {
    cbPaper->clear();
    try {
        FillPaperList(papers_);
    } catch (const std::exception& failure) {
        // The dialog stays usable with an empty paper box; the stored paper name is kept
        // unless the user changes something.
        if (hooks_.ShowError) hooks_.ShowError(this, QString::fromUtf8(failure.what()));
    }
    for (int i = 0; i < papers_.Count(); ++i) cbPaper->addItem(QString::fromStdString(papers_.Text(i)));
    cbPaper->setCurrentIndex(papers_.Count() > 0 ? 0 : -1);
}

bool TfrmPDFPrefs::Updating() const { return creating_ || (hooks_.Updating && hooks_.Updating()); }

void TfrmPDFPrefs::SetControlsFromPrefs() {
    const TPDFImage& defaults = *prefs_.PDFDefaults;
    cbAutoOpenPDF->setChecked(prefs_.AutoOpenPDF);
    cbShowPicPreviewDialog->setChecked(prefs_.ShowPicPreviewDialog);
    cbAutoOrient->setChecked(prefs_.AutoOrient);
    cbLosslessDecoded->setChecked(prefs_.LosslessDecoded);
    cbCompactBitmaps->setChecked(prefs_.CompactBitmaps);
    edtDefaultSaveDir->setText(QString::fromStdString(prefs_.DefaultSaveDir));
    SetRadio(cbStretch, defaults.SizeMethod == smStretch);
    SetRadio(cbFit, defaults.SizeMethod == smFit);
    SetRadio(cbFull, defaults.SizeMethod == smFullSize);
    {
        // Selecting a paper by program is not a change made by the user.
        const QSignalBlocker quiet(cbPaper);
        const int index = papers_.IndexOf(defaults.PaperName);
        cbPaper->setCurrentIndex(index >= 0 ? index : (cbPaper->count() > 0 ? 0 : -1));
    }
    SetRadio(cbPortrait, defaults.PaperPortrait);
    SetRadio(cbLandscape, !defaults.PaperPortrait);
    edtMarginLeft->setText(QString::number(defaults.MarginLeft));
    edtMarginRight->setText(QString::number(defaults.MarginRight));
    edtMarginTop->setText(QString::number(defaults.MarginTop));
    edtMarginBottom->setText(QString::number(defaults.MarginBottom));
}

void TfrmPDFPrefs::SetPrefsFromControls() {
    if (Updating()) return;
    TPDFImage& defaults = *prefs_.PDFDefaults;
    prefs_.AutoOpenPDF = cbAutoOpenPDF->isChecked();
    prefs_.ShowPicPreviewDialog = cbShowPicPreviewDialog->isChecked();
    prefs_.AutoOrient = cbAutoOrient->isChecked();
    prefs_.LosslessDecoded = cbLosslessDecoded->isChecked();
    prefs_.CompactBitmaps = cbCompactBitmaps->isChecked();
    prefs_.DefaultSaveDir = edtDefaultSaveDir->text().toStdString();
    defaults.SizeMethod = cbStretch->isChecked() ? smStretch : cbFit->isChecked() ? smFit : smFullSize;
    defaults.PaperName = cbPaper->currentText().toStdString();
    defaults.PaperPortrait = cbPortrait->isChecked();
    defaults.MarginLeft = MarginOf(edtMarginLeft);
    defaults.MarginRight = MarginOf(edtMarginRight);
    defaults.MarginTop = MarginOf(edtMarginTop);
    defaults.MarginBottom = MarginOf(edtMarginBottom);
}

void TfrmPDFPrefs::BrowseForFolder() {
    if (!hooks_.PickFolder) return;
    const QString folder = hooks_.PickFolder(this, edtDefaultSaveDir->text());
    if (folder.isEmpty()) return;
    edtDefaultSaveDir->setText(folder);
    // The chosen folder counts at once; the field may never be entered and left again.
    SetPrefsFromControls();
}

void TfrmPDFPrefs::btnOKClick() {
    // A value still being edited is taken, as leaving its field would take it.
    if (auto* editing = dynamic_cast<TReportingEdit*>(focusWidget())) editing->Commit();
    try {
        WritePrefs(prefs_);
    } catch (const std::exception& failure) {
        if (hooks_.ShowError) hooks_.ShowError(this, QString::fromUtf8(failure.what()));
        return;  // the dialog stays open; Cancel closes it
    }
    accept();
}

void TfrmPDFPrefs::btnCancelClick() { reject(); }

}  // namespace tovra
