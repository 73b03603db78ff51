// The main window's controls: the menu, the tool bar, the list with its strip of buttons, the
// settings panel and the preview area, with their captions, sizes and accessible names.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "EnterMovesFocus.h"
#include "ImageListBox.h"
#include "PDFMain.h"
#include "PreviewNote.h"
#include "PreviewView.h"
#include "ProgramIcon.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"

namespace tovra {

namespace {

constexpr int kToolBarHeight = 29;
constexpr int kStripHeight = 32;
constexpr int kSettingsWidth = 270;

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

// A margin field takes any text, as typed (a minus sign, a half-typed number): the entry stores
// its whole-number part, 0 while it is no number, and the page refuses what it cannot use.
QLineEdit* MarginField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(QStringLiteral("20"), parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAlignment(Qt::AlignRight);
    field->setFixedSize(40, 20);
    return field;
}

QRadioButton* RadioButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// A tool bar button with its picture left of its caption; the caption keeps its Alt letter.
QToolButton* ToolBarButton(QAction* action, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(action->objectName() + QStringLiteral("Button"));
    button->setText(action->text());
    button->setIcon(action->icon());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setFixedSize(111, 23);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::TabFocus);
    button->setAccessibleName(QString(action->text()).remove(QLatin1Char('&')));
    if (!action->shortcut().isEmpty())
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->accessibleName(),
                                                         action->shortcut().toString(QKeySequence::NativeText)));
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QToolButton::setEnabled);
    return button;
}

}  // namespace

void TfrmPDFMain::BuildActions() {
    auto make = [this](const char* name, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    aLoadImages = make("aLoadImages", QStringLiteral("&Load Images..."));
    aLoadImages->setIcon(ThemeIcon("document-open", QStyle::SP_DialogOpenButton));
    aLoadImages->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    aRemoveImage = make("aRemoveImage", QStringLiteral("&Remove Image"));
    aRemoveImage->setIcon(ThemeIcon("list-remove", QStyle::SP_TrashIcon));
    aClearList = make("aClearList", QStringLiteral("&Clear List"));
    aClearList->setIcon(ThemeIcon("edit-clear", QStyle::SP_DialogResetButton));
    aCreatePDF = make("aCreatePDF", QStringLiteral("Create &PDF"));
    aCreatePDF->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    aProperties = make("aProperties", QStringLiteral("&Properties..."));
    aPrefs = make("aPrefs", QStringLiteral("&Preferences..."));
    aAbout = make("aAbout", QStringLiteral("&About Tovra PDF"));
    aAbout->setShortcut(QKeySequence(Qt::Key_F1));
    // Load Images lives on the tool bar only; its shortcut needs the action in the window.
    addAction(aLoadImages);
    aExit = make("aExit", QStringLiteral("E&xit"));
}

void TfrmPDFMain::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("mmMain");
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(aPrefs);
    file->addSeparator();
    file->addAction(aExit);
    QMenu* document = bar->addMenu(QStringLiteral("&Document"));
    document->addAction(aCreatePDF);
    document->addSeparator();
    document->addAction(aProperties);
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(aAbout);
}

void TfrmPDFMain::BuildToolBar() {
    tbMain = new QToolBar(QStringLiteral("Tool bar"), pnlControls);
    tbMain->setObjectName("tbMain");
    tbMain->setFixedHeight(kToolBarHeight);
    tbMain->setMovable(false);
    tbMain->setFloatable(false);
    tbMain->setContentsMargins(0, 0, 0, 0);
    for (QAction* action : {aLoadImages, aRemoveImage, aClearList}) tbMain->addWidget(ToolBarButton(action, tbMain));
}

QWidget* TfrmPDFMain::BuildListArea() {
    auto* area = new QWidget(pnlControls);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    lbFiles = new TImageListBox(area);
    lbFiles->setObjectName("lbFiles");
    lbFiles->setAccessibleName(QStringLiteral("Images"));
    lbFiles->setAccessibleDescription(QStringLiteral("One page per image, top to bottom; drag rows to reorder"));
    column->addWidget(lbFiles, 1);

    auto* strip = new QWidget(area);
    strip->setFixedHeight(kStripHeight);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(4, 4, 8, 4);
    btnCreatePDF = new QPushButton(aCreatePDF->text(), strip);
    btnCreatePDF->setObjectName("btnCreatePDF");
    QFont bold = btnCreatePDF->font();
    bold.setBold(true);
    btnCreatePDF->setFont(bold);
    btnCreatePDF->setAccessibleName(QStringLiteral("Create PDF"));
    connect(btnCreatePDF, &QPushButton::clicked, aCreatePDF, &QAction::trigger);
    connect(aCreatePDF, &QAction::enabledChanged, btnCreatePDF, &QPushButton::setEnabled);
    cbFullPath = new QCheckBox(QStringLiteral("Show full path"), strip);
    cbFullPath->setObjectName("cbFullPath");
    cbShowPreview = new QCheckBox(QStringLiteral("Show P&review"), strip);
    cbShowPreview->setObjectName("cbShowPreview");
    cbShowPreview->setChecked(true);
    row->addWidget(btnCreatePDF);
    row->addStretch(1);  // the check boxes keep their distance from the right edge
    row->addWidget(cbFullPath);
    row->addSpacing(8);
    row->addWidget(cbShowPreview);
    column->addWidget(strip);
    return area;
}

QWidget* TfrmPDFMain::BuildSettingsPanel() {
    // Left: the margins, the paper box and the orientation; right: the sizing options; below
    // both: the button that applies the settings to every page.
    auto* panel = new QWidget(pnlControls);
    panel->setObjectName("pnlSettings");
    panel->setFixedWidth(kSettingsWidth);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(2, 0, 2, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->setColumnMinimumWidth(0, 172);

    gbMargins = new QGroupBox(QStringLiteral(" Margins (pixels) "), panel);
    gbMargins->setObjectName("gbMargins");
    gbMargins->setFixedHeight(62);
    auto* margins = new QGridLayout(gbMargins);
    margins->setContentsMargins(4, 0, 4, 2);
    margins->setHorizontalSpacing(3);
    margins->setVerticalSpacing(2);
    edtMarginTop = MarginField(gbMargins, "edtMarginTop");
    edtMarginBottom = MarginField(gbMargins, "edtMarginBottom");
    edtMarginLeft = MarginField(gbMargins, "edtMarginLeft");
    edtMarginRight = MarginField(gbMargins, "edtMarginRight");
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"top", edtMarginTop}, {"bottom", edtMarginBottom}, {"left", edtMarginLeft}, {"right", edtMarginRight}};
    int index = 0;
    for (const auto& [caption, field] : fields) {
        auto* label = new QLabel(QString::fromLatin1(caption), gbMargins);
        label->setBuddy(field);
        field->setAccessibleName(QString::fromLatin1(caption));
        field->setAccessibleDescription(QStringLiteral("margin in pixels"));
        margins->addWidget(label, index / 2, (index % 2) * 2, Qt::AlignRight);
        margins->addWidget(field, index / 2, (index % 2) * 2 + 1);
        ++index;
    }
    grid->addWidget(gbMargins, 0, 0);

    cbPaper = new QComboBox(panel);
    cbPaper->setObjectName("cbPaper");
    // On Linux a drop-down list's accessible name is its current text; the caption goes in the
    // description as well.
    cbPaper->setAccessibleName(QStringLiteral("Paper"));
    cbPaper->setAccessibleDescription(QStringLiteral("Paper"));
    cbPaper->setEditable(false);
    cbPaper->setFixedHeight(22);
    grid->addWidget(cbPaper, 1, 0);

    auto* orientation = new QGroupBox(QStringLiteral("Orientation"), panel);
    orientation->setObjectName("gbOrientation");
    orientation->setFixedHeight(42);
    auto* orientationRow = new QHBoxLayout(orientation);
    orientationRow->setContentsMargins(4, 0, 2, 2);
    orientationRow->setSpacing(2);
    cbPortrait = RadioButton(QStringLiteral("P&ortrait"), "cbPortrait", orientation);
    cbLandscape = RadioButton(QStringLiteral("L&andscape"), "cbLandscape", orientation);
    cbPortrait->setChecked(true);
    orientationRow->addWidget(cbPortrait);
    orientationRow->addWidget(cbLandscape);
    grid->addWidget(orientation, 2, 0);

    auto* sizing = new QGroupBox(QStringLiteral(" Sizing Options "), panel);
    sizing->setObjectName("gbSizing");
    sizing->setFixedWidth(kSettingsWidth - 172 - 8);
    auto* sizingColumn = new QVBoxLayout(sizing);
    sizingColumn->setContentsMargins(4, 0, 2, 2);
    sizingColumn->setSpacing(0);
    cbStretch = RadioButton(QStringLiteral("&Stretch"), "cbStretch", sizing);
    cbFit = RadioButton(QStringLiteral("F&it"), "cbFit", sizing);
    cbFull = RadioButton(QStringLiteral("F&ull Size"), "cbFull", sizing);
    cbFit->setChecked(true);
    for (QRadioButton* button : {cbStretch, cbFit, cbFull}) sizingColumn->addWidget(button);
    sizingColumn->addStretch(1);
    grid->addWidget(sizing, 0, 1, 3, 1);

    btnApplyToAll = new QPushButton(QStringLiteral("&Apply settings to all pages"), panel);
    btnApplyToAll->setObjectName("btnApplyToAll");
    btnApplyToAll->setFixedHeight(24);
    grid->addWidget(btnApplyToAll, 3, 0, 1, 2);
    return panel;
}

void TfrmPDFMain::BuildPreviewComponents() {
    prpView = previewOwner_.Make<TPRPage>();
    prpView->Name = "prpView";
    prpView->SetBounds(14, 14, 596, 842);
    prpView->SetMarginTop(20);
    prpView->SetMarginBottom(20);
    prpView->SetMarginLeft(20);
    prpView->SetMarginRight(20);
    PRLayoutPanel1 = previewOwner_.Make<TPRLayoutPanel>();
    PRLayoutPanel1->Name = "PRLayoutPanel1";
    PRLayoutPanel1->SetParent(prpView);
    PRLayoutPanel1->SetAlign(alClient);
    priViewJPG = previewOwner_.Make<TPRJpegImage>();
    priViewJPG->Name = "priViewJPG";
    priViewJPG->SetParent(PRLayoutPanel1);
    priViewJPG->SetBounds(0, 0, 554, 800);
    priViewJPG->SharedImage = true;
    priView = previewOwner_.Make<TPRImage>();
    priView->Name = "priView";
    priView->SetParent(PRLayoutPanel1);
    priView->SetBounds(0, 0, 554, 800);
    priView->SharedImage = true;
    // Nothing to show until a row is shown: an empty item would only draw its outline.
    priViewJPG->SetVisible(false);
    priView->SetVisible(false);
}

void TfrmPDFMain::BuildPreview() {
    sbView = new QScrollArea(centralWidget());
    sbView->setObjectName("sbView");
    sbView->setAccessibleName(QStringLiteral("Preview"));
    sbView->setBackgroundRole(QPalette::Dark);
    QPalette grey = sbView->palette();
    grey.setColor(QPalette::Dark, PreviewBackground());
    sbView->setPalette(grey);
    sbView->setWidgetResizable(false);
    prpViewWidget = new TPreviewView(*prpView, sbView);
    sbView->setWidget(prpViewWidget);
    lblPreviewNote = new TPreviewNote(*sbView);
}

void TfrmPDFMain::BuildControls() {
    setObjectName("frmPDFMain");
    setWindowTitle(QStringLiteral("Tovra PDF"));
    setWindowIcon(ProgramIcon());
    QFont text(QStringLiteral("Arial"));
    text.setPixelSize(12);
    setFont(text);
    resize(655, 473);
    setMinimumSize(626, 187);

    BuildPreviewComponents();
    BuildActions();
    BuildMenu();

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnlControls = new QWidget(central);
    pnlControls->setObjectName("pnlControls");
    pnlControls->setFixedHeight(kControlsHeight);
    auto* top = new QVBoxLayout(pnlControls);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    BuildToolBar();
    top->addWidget(tbMain);
    auto* below = new QHBoxLayout();
    below->setContentsMargins(0, 0, 0, 0);
    below->setSpacing(0);
    below->addWidget(BuildListArea(), 1);
    below->addWidget(BuildSettingsPanel());
    top->addLayout(below, 1);
    column->addWidget(pnlControls);

    BuildPreview();
    column->addWidget(sbView, 1);

    TEnterMovesFocus::Install(this, {edtMarginTop, edtMarginBottom, edtMarginLeft, edtMarginRight, lbFiles, cbPaper});
    setTabOrder(lbFiles, btnCreatePDF);
    setTabOrder(btnCreatePDF, cbFullPath);
    setTabOrder(cbFullPath, cbShowPreview);
    setTabOrder(cbShowPreview, edtMarginTop);
    setTabOrder(edtMarginTop, edtMarginBottom);
    setTabOrder(edtMarginBottom, edtMarginLeft);
    setTabOrder(edtMarginLeft, edtMarginRight);
    setTabOrder(edtMarginRight, cbPaper);
    setTabOrder(cbPaper, cbPortrait);
    setTabOrder(cbPortrait, cbLandscape);
    setTabOrder(cbLandscape, cbStretch);
    setTabOrder(cbStretch, cbFit);
    setTabOrder(cbFit, cbFull);
    setTabOrder(cbFull, btnApplyToAll);
}

void TfrmPDFMain::CentreOnScreen() {
    if (const QScreen* where = screen()) move(where->availableGeometry().center() - rect().center());
}

}  // namespace tovra
