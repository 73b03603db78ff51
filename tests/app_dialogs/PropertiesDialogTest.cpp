// The document properties dialog edits the report's four texts.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/PDFProperties.h"
#include "report/PReport.h"

namespace tovra {
namespace {

TEST(PropertiesDialog, FirstOpeningShowsEmptyFields) {
    TPReport prMain;
    TfrmPDFProperties dialog(prMain);
    dialog.show();
    for (QLineEdit* field : {dialog.edtTitle, dialog.edtSubject, dialog.edtAuthor, dialog.edtKeywords})
        EXPECT_TRUE(field->text().isEmpty());
    dialog.btnCancel->click();
}

TEST(PropertiesDialog, OkSetsTheReportsTextsCancelKeepsThem) {
    TPReport prMain;
    prMain.SetKeywords("old keywords");
    {
        TfrmPDFProperties dialog(prMain);
        dialog.show();
        EXPECT_EQ(dialog.edtKeywords->text(), "old keywords");
        dialog.edtTitle->setText("Holiday – Café");
        dialog.edtSubject->setText("Photos");
        dialog.edtAuthor->setText("Ann");
        dialog.edtKeywords->clear();
        dialog.btnOK->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(prMain.Title(), "Holiday – Café");
    EXPECT_EQ(prMain.Subject(), "Photos");
    EXPECT_EQ(prMain.Author(), "Ann");
    EXPECT_EQ(prMain.Keywords(), "");

    TfrmPDFProperties again(prMain);
    again.show();
    EXPECT_EQ(again.edtTitle->text(), "Holiday – Café");
    again.edtTitle->setText("Changed");
    QTest::keyClick(&again, Qt::Key_Escape);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_EQ(prMain.Title(), "Holiday – Café");
}

TEST(PropertiesDialog, OnlyNarrowerAndAlwaysAsHigh) {
    TPReport prMain;
    TfrmPDFProperties dialog(prMain);
    dialog.show();
    EXPECT_EQ(dialog.width(), TfrmPDFProperties::kFirstWidth);
    EXPECT_EQ(dialog.maximumWidth(), TfrmPDFProperties::kFirstWidth);
    EXPECT_LT(dialog.minimumWidth(), TfrmPDFProperties::kFirstWidth);
    EXPECT_EQ(dialog.minimumHeight(), dialog.maximumHeight());
    dialog.resize(400, 400);
    EXPECT_EQ(dialog.width(), TfrmPDFProperties::kFirstWidth);
    const int height = dialog.height();
    dialog.resize(dialog.minimumWidth() + 10, 100);
    EXPECT_EQ(dialog.width(), dialog.minimumWidth() + 10);
    EXPECT_EQ(dialog.height(), height);
    // The fields stretch with the window.
    EXPECT_GT(dialog.edtTitle->width(), 0);
}

TEST(PropertiesDialog, LabelsLeadToTheirFields) {
    TPReport prMain;
    TfrmPDFProperties dialog(prMain);
    EXPECT_EQ(dialog.windowTitle(), "Document Properties");
    int labelled = 0;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->buddy() == dialog.edtAuthor) {
            EXPECT_EQ(label->text(), "&Author:");
            ++labelled;
        }
    }
    EXPECT_EQ(labelled, 1);
    EXPECT_EQ(dialog.edtKeywords->accessibleName(), "Keywords");
    EXPECT_TRUE(dialog.btnOK->isDefault());
}

}  // namespace
}  // namespace tovra
