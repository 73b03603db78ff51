#include "app/dialogs/DialogButtons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace tovra {

TOkCancelButtons AddOkCancelButtons(QDialog& dialog, QBoxLayout& layout) {
    auto* buttons = new QDialogButtonBox(&dialog);
    TOkCancelButtons result;
    result.OK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    result.Cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    result.OK->setObjectName("btnOK");
    result.Cancel->setObjectName("btnCancel");
    result.OK->setAccessibleName(QStringLiteral("OK"));
    result.Cancel->setAccessibleName(QStringLiteral("Cancel"));
    result.OK->setDefault(true);
    layout.addWidget(buttons);
    return result;
}

}  // namespace tovra
