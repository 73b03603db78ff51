#pragma once
// A background shaded in vertical bands from a start colour at the left edge to an end colour
// at the right edge, framed by a single line.
#include <QColor>
#include <QWidget>

namespace tovra {

class TShadedPanel : public QWidget {
public:
    static constexpr int kBands = 55;

    explicit TShadedPanel(QWidget* parent = nullptr);

    QColor StartColor() const { return start_; }
    QColor EndColor() const { return end_; }
    void SetStartColor(const QColor& color);
    void SetEndColor(const QColor& color);

    // Colour of band `index` (0 = leftmost): the start colour stepped evenly towards the end
    // colour, which the last band has exactly.
    QColor BandColor(int index) const;
    // Left edge of band `index` within the frame's inside, in pixels; BandLeft(kBands) is the
    // inside's width.
    int BandLeft(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor start_;
    QColor end_;
};

}  // namespace tovra
