#include "PreviewNote.h"

#include <QAbstractScrollArea>
#include <QEvent>

namespace tovra {

namespace {
constexpr int kInset = 4;
}  // namespace

TPreviewNote::TPreviewNote(QAbstractScrollArea& area) : QLabel(area.viewport()) {
    setObjectName("lblPreviewNote");
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMargin(2);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
    setPalette(colours);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    area.viewport()->installEventFilter(this);
}

void TPreviewNote::ShowNote(const QString& text) {
    setText(text);
    setAccessibleName(text);
    setVisible(!text.isEmpty());
    if (!text.isEmpty()) Place();
}

bool TPreviewNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) Place();
    return QLabel::eventFilter(watched, event);
}

void TPreviewNote::Place() {
    adjustSize();
    const QWidget* viewport = parentWidget();
    move(kInset, viewport->height() - height() - kInset);
    raise();
}

}  // namespace tovra
