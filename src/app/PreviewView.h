#pragma once
// The widget that shows the preview page: the report layer paints the page and everything on it
// (its own painting, the same components that print the PDF page), one pixel per point, at the
// page's place. It follows the page's size and repaints whenever the page reports a change.
#include <QWidget>

namespace tovra {

class TPRPage;

class TPreviewView : public QWidget {
public:
    // The page is not owned; it must outlive the view or be detached with Detach().
    explicit TPreviewView(TPRPage& page, QWidget* parent = nullptr);
    ~TPreviewView() override;

    // Stops listening to the page.
    void Detach();
    // What the view shows, painted into an image of the view's size (grey around the page).
    QImage Grab() const;
    // Paints the page once off screen, so a picture that cannot be decoded fails here, with its
    // message, and not while the screen is painted. The decoded picture is kept for the screen.
    void CheckPaints() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PageChanged();
    void PaintPage(QPainter& painter) const;
    TPRPage* page_;
};

// The grey behind the page.
QColor PreviewBackground();

}  // namespace tovra
