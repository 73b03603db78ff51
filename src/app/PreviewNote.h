#pragma once
// A short note about the picture shown ("damaged JPEG data"), laid over the bottom-left corner of
// the preview area's visible part, so it is seen however the page is scrolled.
#include <QLabel>

class QAbstractScrollArea;

namespace tovra {

class TPreviewNote : public QLabel {
public:
    // Hidden until shown; a child of the area's viewport, kept in its corner when it resizes.
    explicit TPreviewNote(QAbstractScrollArea& area);
    // Shows `text`, or hides the note for an empty one.
    void ShowNote(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
};

}  // namespace tovra
