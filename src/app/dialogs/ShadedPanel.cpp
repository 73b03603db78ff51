#include "app/dialogs/ShadedPanel.h"

#include <QPainter>

namespace tovra {

namespace {

int Step(int from, int to, int index) { return from + (to - from) * index / (TShadedPanel::kBands - 1); }

}  // namespace

TShadedPanel::TShadedPanel(QWidget* parent) : QWidget(parent), start_(131, 190, 250), end_(Qt::white) {}

void TShadedPanel::SetStartColor(const QColor& color) {
    start_ = color;
    update();
}

void TShadedPanel::SetEndColor(const QColor& color) {
    end_ = color;
    update();
}

QColor TShadedPanel::BandColor(int index) const {
    return QColor(Step(start_.red(), end_.red(), index), Step(start_.green(), end_.green(), index),
                  Step(start_.blue(), end_.blue(), index));
}

int TShadedPanel::BandLeft(int index) const {
    const int inside = width() - 2;  // within the one-pixel frame
    return inside * index / kBands;
}

void TShadedPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int insideHeight = height() - 2;
    for (int i = 0; i < kBands; ++i)
        painter.fillRect(1 + BandLeft(i), 1, BandLeft(i + 1) - BandLeft(i), insideHeight, BandColor(i));
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace tovra
