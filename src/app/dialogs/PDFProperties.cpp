#include "app/dialogs/PDFProperties.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dialogs/DialogButtons.h"
#include "report/PReport.h"

namespace tovra {

TfrmPDFProperties::TfrmPDFProperties(TPReport& report, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      report_(report) {
    setWindowTitle(QStringLiteral("Document Properties"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const struct {
        QLineEdit*& field;
        const char* name;
        const char* caption;
    } rows[] = {{edtTitle, "edtTitle", "&Title:"},
                {edtSubject, "edtSubject", "&Subject:"},
                {edtAuthor, "edtAuthor", "&Author:"},
                {edtKeywords, "edtKeywords", "&Keywords:"}};
    for (const auto& row : rows) {
        row.field = new QLineEdit(this);
        row.field->setObjectName(row.name);
        const QString caption = QString::fromLatin1(row.caption);
        auto* label = new QLabel(caption, this);
        label->setBuddy(row.field);
        row.field->setAccessibleName(QString(caption).remove('&').remove(':'));
        form->addRow(label, row.field);
    }
    layout->addLayout(form);
    layout->addStretch(1);

    const TOkCancelButtons buttons = AddOkCancelButtons(*this, *layout);
    btnOK = buttons.OK;
    btnCancel = buttons.Cancel;
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    // Only narrower than the first width, and always as high.
    setFixedHeight(std::max(kHeight, sizeHint().height()));
    setMaximumWidth(kFirstWidth);
    setMinimumWidth(std::min(kFirstWidth, minimumSizeHint().width()));
    resize(kFirstWidth, height());
}

void TfrmPDFProperties::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmPDFProperties::FormShow() {
    edtTitle->setText(QString::fromStdString(report_.Title()));
    edtSubject->setText(QString::fromStdString(report_.Subject()));
    edtAuthor->setText(QString::fromStdString(report_.Author()));
    edtKeywords->setText(QString::fromStdString(report_.Keywords()));
}

void TfrmPDFProperties::btnOKClick() {
    report_.SetTitle(edtTitle->text().toStdString());
    report_.SetSubject(edtSubject->text().toStdString());
    report_.SetAuthor(edtAuthor->text().toStdString());
    report_.SetKeywords(edtKeywords->text().toStdString());
    accept();
}

void TfrmPDFProperties::btnCancelClick() { reject(); }

}  // namespace tovra
