// The window driven by keyboard and by assistive technology: Enter moves on like Tab in fields,
// the list and the paper box (not on buttons), and controls carry their captions as names.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ImageListBox.h"
#include "MainWindowFixture.h"

namespace tovra::test {
namespace {

using Keyboard = MainWindowTest;

TEST_F(Keyboard, EnterMovesTheFocusLikeTabInFieldsTheListAndThePaperBox) {
    auto& w = MakeWindow();
    w.show();
    QApplication::setActiveWindow(&w);
    for (QWidget* control : std::initializer_list<QWidget*>{w.edtMarginTop, w.lbFiles, w.cbPaper}) {
        control->setFocus();
        ASSERT_TRUE(control->hasFocus());
        QTest::keyClick(control, Qt::Key_Return);
        EXPECT_FALSE(control->hasFocus()) << control->objectName().toStdString();
    }
    w.edtMarginTop->setFocus();
    QTest::keyClick(w.edtMarginTop, Qt::Key_Enter);
    EXPECT_TRUE(w.edtMarginBottom->hasFocus());

    // On a check box Enter keeps its usual meaning: the focus stays.
    w.cbFullPath->setFocus();
    QTest::keyClick(w.cbFullPath, Qt::Key_Return);
    EXPECT_TRUE(w.cbFullPath->hasFocus());
}

TEST_F(Keyboard, ControlsCarryTheirCaptionsAsAccessibleNames) {
    auto& w = MakeWindow();
    w.show();
    auto name = [](QWidget* widget) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(name(w.edtMarginTop), "top");
    EXPECT_EQ(name(w.edtMarginRight), "right");
    EXPECT_EQ(w.cbPaper->accessibleName(), "Paper");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.cbPaper)->text(QAccessible::Description), "Paper");
    EXPECT_EQ(name(w.lbFiles), "Images");
    EXPECT_EQ(name(w.cbFullPath), "Show full path");
    EXPECT_EQ(name(w.btnCreatePDF), "Create PDF");
    EXPECT_EQ(name(w.btnApplyToAll), "Apply settings to all pages");
    // Every control that takes input can be reached with Tab.
    for (QWidget* control : w.findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
            qobject_cast<QComboBox*>(control)) {
            if (control->window() != &w || !control->isVisible()) continue;
            EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << control->objectName().toStdString();
        }
    }
}

}  // namespace
}  // namespace tovra::test
