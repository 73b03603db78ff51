#pragma once
// A report page: one PDF page of exactly its size, with margins and child panels. On
// screen the same page is the live preview, one pixel per point.
#include <functional>
#include <memory>

#include "report/Controls.h"

class QImage;

namespace tovra {

class TPdfCanvas;
class TPdfDoc;

// What print events receive: the canvas of the PDF page being printed.
class TPRCanvas {
public:
    TPdfCanvas* PdfCanvas = nullptr;  // not owned
};

class TPRPage;
using TPRPrintPageEvent = std::function<void(TPRPage& sender, TPRCanvas& canvas)>;

class TPRPage : public TControl {
public:
    explicit TPRPage(TComponent* owner = nullptr);
    ~TPRPage() override;

    int MarginTop() const { return marginTop_; }
    int MarginLeft() const { return marginLeft_; }
    int MarginRight() const { return marginRight_; }
    int MarginBottom() const { return marginBottom_; }
    // A margin that is negative or not below half the page width is ignored silently.
    void SetMarginTop(int value) { SetMargin(marginTop_, value); }
    void SetMarginLeft(int value) { SetMargin(marginLeft_, value); }
    void SetMarginRight(int value) { SetMargin(marginRight_, value); }
    void SetMarginBottom(int value) { SetMargin(marginBottom_, value); }

    // The rectangle client-aligned panels fill: inside the margins and the 1-point frame.
    TRect ContentRect() const;
    void PrintOn(TPRCanvas& canvas);
    // Paints the page and everything on it into an image, one pixel per point.
    QImage PaintToImage() const;

    TPRPrintPageEvent OnPrintPage;
    // Called whenever something on the page needs painting again.
    std::function<void()> OnChanged;

    void Invalidate() override;
    std::string ClassName() const override { return "TPRPage"; }

protected:
    void Paint(QPainter& painter) const override;
    TRect AlignRect() const override { return ContentRect(); }

private:
    void SetMargin(int& margin, int value);
    int marginTop_ = 32, marginLeft_ = 32, marginRight_ = 32, marginBottom_ = 32;
};

// Draws the silver guide grid (a line every 18.9 points, dotted every other one) over an
// area, shifted by the area's offset from the page so that the lines continue the page's.
void PaintGuideGrid(QPainter& painter, int width, int height, int offsetX, int offsetY);

}  // namespace tovra
