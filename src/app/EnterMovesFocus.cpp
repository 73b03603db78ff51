#include "EnterMovesFocus.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tovra {

void TEnterMovesFocus::Install(QObject* owner, std::initializer_list<QWidget*> controls) {
    auto* filter = new TEnterMovesFocus(owner);  // owned by `owner`
    for (QWidget* control : controls) control->installEventFilter(filter);
}

bool TEnterMovesFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    // The control then does with it exactly what it does with Tab.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(watched, &tab);
    return true;
}

}  // namespace tovra
