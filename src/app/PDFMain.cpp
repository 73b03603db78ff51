// The main window's life: creation (controls, papers, preferences, placeholder entry), the
// wiring of its handlers, closing (preferences written, list released) and destruction.
#include "PDFMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "DamageCheck.h"
#include "DialogService.h"
#include "ErrorMessages.h"
#include "Guards.h"
#include "ImageListBox.h"
#include "PreviewNote.h"
#include "PreviewView.h"
#include "components/Other/FileDrop.h"
#include "components/Other/IniFile.h"
#include "components/Other/IniLocation.h"
#include "components/Other/Utils.h"
#include "convert/CreationRun.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"

namespace tovra {

namespace {

// The desktop's program for PDF files; when none answers, nothing is reported.
void OpenWithDesktop(const std::string& path) { OpenDocument(LocalFileTarget(path)); }

}  // namespace

TfrmPDFMain::TfrmPDFMain(TMainWindowServices services, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(services.Dialogs ? std::move(services.Dialogs) : std::make_shared<TQtDialogService>()),
      openPdf_(services.OpenPdf ? std::move(services.OpenPdf) : OpenWithDesktop),
      runDialog_(std::move(services.RunDialog)) {
    updating_ = true;
    BuildControls();
    damageCheck_ =
        std::make_unique<TDamageCheck>([this] { lblPreviewNote->ShowNote(QStringLiteral("damaged JPEG data")); });
    ConfigureReport(prMain);
    ConnectHandlers();

    const std::string exePath = services.ExecutablePath.empty()
                                    ? QCoreApplication::applicationFilePath().toStdString()
                                    : services.ExecutablePath;
    DefaultIniFile() = IniFileForExecutable(exePath);
    defaultSaveDir_ = DefaultSaveDirForExecutable(exePath);

    // A printer that answers nonsense must not leave the window half made: the error is shown
    // once the window is up, and the steps after it run all the same.
    QString paperFailure;
    try {
        FillPaperBox();
    } catch (const std::exception& failure) {
        paperFailure = QString::fromUtf8(failure.what());
    }
    pdfDefaults_ = std::make_unique<TPDFImage>();
    Prefs.PDFDefaults = pdfDefaults_.get();
    ReadPrefsIntoWindow();
    ApplyPrefs();
    DragStart = QPoint(-1, -1);
    CreatePlaceholder();
    updating_ = false;
    CentreOnScreen();
    if (!paperFailure.isEmpty()) QTimer::singleShot(0, this, [this, paperFailure] { ShowFailure(paperFailure); });
}

TfrmPDFMain::~TfrmPDFMain() {
    // The widgets outlive the members below them; nothing may reach back into the window.
    lbFiles->blockSignals(true);
    prpViewWidget->Detach();
    fdFiles_.reset();
}

bool TfrmPDFMain::CheckingShownPicture() const { return damageCheck_->Pending(); }

void TfrmPDFMain::FillPaperBox() {
    FillPaperList(papers_);
    const QSignalBlocker quiet(cbPaper);
    cbPaper->clear();
    for (int i = 0; i < papers_.Count(); ++i) cbPaper->addItem(QString::fromStdString(papers_.Text(i)));
    cbPaper->setCurrentIndex(papers_.ItemIndex());
}

void TfrmPDFMain::RunGuarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& failure) {
        ShowFailure(QString::fromUtf8(failure.what()));
    } catch (...) {
        ShowFailure(QStringLiteral("Unknown failure"));
    }
}

void TfrmPDFMain::ShowFailure(const QString& message) { ShowError(*dialogs_, this, message); }

void TfrmPDFMain::ConnectHandlers() {
    auto guarded = [this](void (TfrmPDFMain::*handler)()) {
        return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    auto whenChecked = [this](void (TfrmPDFMain::*handler)()) {
        return [this, handler](bool checked) {
            if (checked) RunGuarded([this, handler] { (this->*handler)(); });
        };
    };
    connect(aLoadImages, &QAction::triggered, this, guarded(&TfrmPDFMain::aLoadImagesExecute));
    connect(aRemoveImage, &QAction::triggered, this, guarded(&TfrmPDFMain::RemoveCurrentImage));
    connect(aClearList, &QAction::triggered, this, guarded(&TfrmPDFMain::ClearImageList));
    connect(aCreatePDF, &QAction::triggered, this, guarded(&TfrmPDFMain::aCreatePDFExecute));
    connect(aProperties, &QAction::triggered, this, guarded(&TfrmPDFMain::aPropertiesExecute));
    connect(aPrefs, &QAction::triggered, this, guarded(&TfrmPDFMain::aPrefsExecute));
    connect(aAbout, &QAction::triggered, this, guarded(&TfrmPDFMain::aAboutExecute));
    // Exit ends the program at once, without the closing steps.
    connect(aExit, &QAction::triggered, this, [] { QCoreApplication::exit(0); });

    for (QRadioButton* sizing : {cbStretch, cbFit, cbFull})
        connect(sizing, &QRadioButton::toggled, this, whenChecked(&TfrmPDFMain::cbStretchClick));
    for (QLineEdit* margin : {edtMarginTop, edtMarginBottom, edtMarginLeft, edtMarginRight})
        connect(margin, &QLineEdit::textChanged, this, guarded(&TfrmPDFMain::edtMarginChange));
    connect(cbPaper, &QComboBox::activated, this, guarded(&TfrmPDFMain::cbPaperChange));
    for (QRadioButton* orientation : {cbPortrait, cbLandscape})
        connect(orientation, &QRadioButton::toggled, this, whenChecked(&TfrmPDFMain::cbPaperChange));
    connect(btnApplyToAll, &QPushButton::clicked, this, guarded(&TfrmPDFMain::btnApplyToAllClick));

    connect(lbFiles, &QListWidget::itemSelectionChanged, this, guarded(&TfrmPDFMain::lbFilesClick));
    connect(cbFullPath, &QCheckBox::toggled, this, guarded(&TfrmPDFMain::cbFullPathClick));
    connect(cbShowPreview, &QCheckBox::toggled, this, guarded(&TfrmPDFMain::cbShowPreviewClick));
    lbFiles->OnDeleteKey = [this] { RunGuarded([this] { RemoveCurrentImage(); }); };
    lbFiles->OnRowDropped = [this](int from, int target) { RunGuarded([=, this] { MoveRow(from, target); }); };
    lbFiles->SetDragStartStore(&DragStart);

    // Files dropped from a file manager; the list's own row drags pass the drop target by.
    fdFiles_ = std::make_unique<TFileDrop>();
    fdFiles_->SetDropControl(lbFiles);
    fdFiles_->OnDrop = [this](TFileDrop& sender) {
        RunGuarded([this, &sender] {
            QStringList names;
            for (const std::string& name : sender.Files()) names.push_back(QString::fromStdString(name));
            fdFilesDrop(names);
        });
    };
}

void TfrmPDFMain::closeEvent(QCloseEvent* event) {
    // The run reads the list; the window closes only after it.
    if (creating_) {
        event->ignore();
        return;
    }
    // A failed write keeps the window open with its list.
    if (!WritePrefsShowingFailure()) {
        event->ignore();
        return;
    }
    ClearImageList();
    papers_.Clear();
    event->accept();
}

}  // namespace tovra
