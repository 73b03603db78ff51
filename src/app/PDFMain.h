#pragma once
// The main window: the image list with its rows and their entries, the settings panel for the
// entry shown, the live preview of its page, the menu and tool bar, and the Create PDF command.
// Its work is split by job over several files: creation, wiring and closing (PDFMain), the
// building of the controls (PDFMainLayout), the list operations (PDFMainList), the settings
// panel (PDFMainSettings), the preferences (PDFMainPrefs), the creation of the PDF
// (PDFMainCreate), showing and hiding the preview area (PDFMainPreview) and the menu commands
// that open the other windows (PDFMainCommands). The row dragging lives in the list control
// (ImageListBox), the preview's painting in its widget (PreviewView).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPoint>
#include <QStringList>

#include "convert/PDFImage.h"
#include "convert/PaperList.h"
#include "convert/Prefs.h"
#include "report/Controls.h"
#include "report/PReport.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QToolBar;

namespace tovra {

class TDamageCheck;
class TDialogService;
class TFileDrop;
class TImageListBox;
class TPreviewNote;
class TPreviewView;
class TPRImage;
class TPRJpegImage;
class TPRLayoutPanel;
class TPRPage;

// What the window needs from outside, replaceable by tests.
struct TMainWindowServices {
    std::shared_ptr<TDialogService> Dialogs;  // null: the desktop's dialogs
    // Opens a newly written PDF with the desktop's viewer; null: the desktop's association.
    std::function<void(const std::string& path)> OpenPdf;
    // The program's path, which decides where the INI file lives; empty: the running program.
    std::string ExecutablePath;
    // Shows a modal window of the program (preferences, properties, About); null: exec().
    std::function<void(QDialog& dialog)> RunDialog;
};

class TfrmPDFMain : public QMainWindow {
public:
    explicit TfrmPDFMain(TMainWindowServices services = {}, QWidget* parent = nullptr);
    ~TfrmPDFMain() override;

    // --- Controls (owned by the window through Qt's parent links) ---
    QAction* aLoadImages = nullptr;
    QAction* aRemoveImage = nullptr;
    QAction* aClearList = nullptr;
    QAction* aCreatePDF = nullptr;
    QAction* aProperties = nullptr;
    QAction* aPrefs = nullptr;
    QAction* aAbout = nullptr;
    QAction* aExit = nullptr;
    QToolBar* tbMain = nullptr;
    QWidget* pnlControls = nullptr;
    TImageListBox* lbFiles = nullptr;
    QPushButton* btnCreatePDF = nullptr;
    QCheckBox* cbFullPath = nullptr;
    QCheckBox* cbShowPreview = nullptr;
    QGroupBox* gbMargins = nullptr;
    QLineEdit* edtMarginTop = nullptr;
    QLineEdit* edtMarginBottom = nullptr;
    QLineEdit* edtMarginLeft = nullptr;
    QLineEdit* edtMarginRight = nullptr;
    QRadioButton* cbStretch = nullptr;
    QRadioButton* cbFit = nullptr;
    QRadioButton* cbFull = nullptr;
    QComboBox* cbPaper = nullptr;
    QRadioButton* cbPortrait = nullptr;
    QRadioButton* cbLandscape = nullptr;
    QPushButton* btnApplyToAll = nullptr;
    QScrollArea* sbView = nullptr;
    TPreviewView* prpViewWidget = nullptr;
    // Under the preview: "damaged JPEG data" while the picture shown is such a JPEG.
    TPreviewNote* lblPreviewNote = nullptr;
    // Whether the picture shown is still being checked for damage (on a worker thread).
    bool CheckingShownPicture() const;

    // --- Report components: the PDF report and the preview page with its items ---
    TPReport prMain;
    TPRPage* prpView = nullptr;
    TPRLayoutPanel* PRLayoutPanel1 = nullptr;
    TPRImage* priView = nullptr;
    TPRJpegImage* priViewJPG = nullptr;

    // --- State ---
    TPDFImage* CurrentImage() const { return currentImage_; }
    bool Updating() const { return updating_; }
    void SetUpdating(bool flag) { updating_ = flag; }
    QPoint DragStart{-1, -1};
    int SavedHeight = 0;
    TPrefsRecord Prefs;
    TPaperList& Papers() { return papers_; }
    // The first file chosen the last time Load Images was confirmed.
    const QString& LoadDialogFileName() const { return loadDialogFileName_; }
    // The folder the save dialog starts in.
    const QString& SaveDialogDirectory() const { return saveDialogDirectory_; }
    bool UsesPicturePreviewDialog() const { return picturePreviewDialog_; }
    TDialogService& Dialogs() const { return *dialogs_; }

    // --- The settings panel and the entries ---
    void ReadSizeMethod(TPDFImage* entry);
    void ReadMargins(TPDFImage* entry);
    void ReadPaper(TPDFImage* entry);
    void ShowSettings(const TPDFImage& entry);
    void HideItems(const TPDFImage& entry);
    void ApplySettings(TPDFImage* entry);
    void ApplySettingsToAll();
    void cbStretchClick();
    void edtMarginChange();
    void cbPaperChange();
    void btnApplyToAllClick();

    // --- The image list ---
    int RowCount() const;
    // The entry of a row, or nullptr for an index outside the list.
    TPDFImage* EntryOf(int row) const;
    int SelectedRow() const;
    int AddImageFiles(const QStringList& names);
    void ShowImage(int index);
    void RemoveCurrentImage();
    void ClearImageList();
    void SelectOpenDialog();
    void ApplyCreatePdfRule();
    void aLoadImagesExecute();
    void fdFilesDrop(const QStringList& names);
    void lbFilesClick();
    void cbFullPathClick();
    // Moves a row by dragging: it lands above `target`, or last when target is -1.
    void MoveRow(int from, int target);
    // Sorts the names chosen in a Load Images dialog: by full path without regard to case,
    // case-duplicates dropped.
    static QStringList SortedLoadNames(const QStringList& names);

    // --- Preferences ---
    void ApplyPrefs();
    // Reads the INI file into Prefs. A file too large to be read is reported once, when the event
    // loop next runs (TooLargeIniMessage); the defaults are used and closing replaces the file.
    void ReadPrefsIntoWindow();
    static QString TooLargeIniMessage(const std::string& path);
    // Writes the preferences; false (after showing the failure) when the file cannot be written.
    bool WritePrefsShowingFailure();

    // --- Commands ---
    void aCreatePDFExecute();
    // True while Create PDF runs.
    bool Creating() const { return creating_; }
    // The progress line of a run: "Page 12 of 40: holiday-12.jpg" for index 11 of 40.
    static QString CreateProgressText(int index, int count, const std::string& fileName);
    // The same for an entry: a page of a multi-page file is named "scan.tif (2/7)".
    static QString CreateProgressText(int index, int count, const TPDFImage& entry);
    void aPrefsExecute();
    void aPropertiesExecute();
    void aAboutExecute();
    void cbShowPreviewClick();

    // Height of the top area (tool bar, list, settings panel) while the preview is shown.
    static constexpr int kControlsHeight = 187;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void CentreOnScreen();
    void BuildActions();
    void BuildMenu();
    void BuildToolBar();
    QWidget* BuildListArea();
    QWidget* BuildSettingsPanel();
    void BuildPreview();
    void BuildPreviewComponents();
    void ConnectHandlers();
    void FillPaperBox();
    void CreatePlaceholder();
    // Replaces a destroyed current entry by a fresh placeholder that takes the panel's changes.
    void ReplaceCurrentByPlaceholder();
    QString RowText(const TPDFImage& entry) const;
    // Starts checking the data of the entry's picture, as loaded into its item, when it is a JPEG.
    void CheckShownJpeg(const TPDFImage& entry);
    void RunGuarded(const std::function<void()>& step);
    void RunDialog(QDialog& dialog);
    void ShowFailure(const QString& message);

    std::shared_ptr<TDialogService> dialogs_;
    std::function<void(const std::string&)> openPdf_;
    std::function<void(QDialog&)> runDialog_;
    TComponent previewOwner_;  // owns the preview page, its panel and its items
    TPaperList papers_;
    std::unique_ptr<TPDFImage> pdfDefaults_;  // the Prefs record's default page settings
    std::unique_ptr<TPDFImage> placeholder_;  // the current entry while no row is shown
    std::vector<std::unique_ptr<TPDFImage>> entries_;  // one per list row, in row order
    TPDFImage* currentImage_ = nullptr;
    bool updating_ = false;
    bool creating_ = false;
    bool picturePreviewDialog_ = true;
    bool tooLargeIniReported_ = false;
    QString loadDialogFileName_;
    QString loadDialogDirectory_;
    QString saveDialogDirectory_;
    std::string defaultSaveDir_;  // DefaultSaveDir when the INI file names none
    std::unique_ptr<TFileDrop> fdFiles_;
    std::unique_ptr<TDamageCheck> damageCheck_;
};

}  // namespace tovra
