#pragma once
// Enter moves the focus to the next control, as Tab does, in the controls this filter is put
// on (fields, the list, the paper box). Buttons and check boxes keep Enter's usual meaning
// because the filter is never put on them.
#include <QObject>

class QWidget;

namespace tovra {

class TEnterMovesFocus : public QObject {
public:
    using QObject::QObject;
    // Puts the filter (owned by `owner`'s Qt parent link) on each of the controls.
    static void Install(QObject* owner, std::initializer_list<QWidget*> controls);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tovra
