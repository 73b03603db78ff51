#pragma once
// The document properties dialog: edits the title, subject, author and keywords of the report
// that writes the PDFs, for the rest of the run (nothing is stored). It may be made narrower
// than its first width, never wider, and keeps its height.
//
//   TfrmPDFProperties dialog(prMain, this);
//   dialog.exec();
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tovra {

class TPReport;

class TfrmPDFProperties : public QDialog {
public:
    static constexpr int kFirstWidth = 288;
    static constexpr int kHeight = 215;

    explicit TfrmPDFProperties(TPReport& report, QWidget* parent = nullptr);

    void FormShow();
    void btnOKClick();
    void btnCancelClick();

    QLineEdit* edtTitle = nullptr;
    QLineEdit* edtSubject = nullptr;
    QLineEdit* edtAuthor = nullptr;
    QLineEdit* edtKeywords = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TPReport& report_;
};

}  // namespace tovra
