#pragma once
// Panels: containers for items and further panels on a report page.
#include <functional>

#include "report/PRPage.h"

namespace tovra {

class TPRPanel : public TControl {
public:
    explicit TPRPanel(TComponent* owner = nullptr);
    // Prints the children for the rectangle this panel occupies on the page.
    virtual void PrintPanel(TPRCanvas& canvas, const TRect& rect);
    // The page the panel finally sits on, or nullptr.
    TPRPage* HostPage() const;
    std::string ClassName() const override { return "TPRPanel"; }

protected:
    void Paint(QPainter& painter) const override;
    // The panel's offset from its page's top-left corner.
    void OffsetOnPage(int* x, int* y) const;
};

// The cell of a grid panel.
class TPRChildPanel : public TPRPanel {
public:
    using TPRPanel::TPRPanel;
    std::string ClassName() const override { return "TPRChildPanel"; }
};

using TPRPrintPanelEvent = std::function<void(TPRPanel& sender, TPRCanvas& canvas, const TRect& rect)>;
using TPRPrintChildPanelEvent =
    std::function<void(TPRPanel& sender, TPRCanvas& canvas, int col, int row, const TRect& rect)>;

class TPRLayoutPanel : public TPRPanel {
public:
    using TPRPanel::TPRPanel;
    void PrintPanel(TPRCanvas& canvas, const TRect& rect) override;
    // Only a panel, a page or no parent; a grid panel hands over its cell.
    void SetParent(TControl* parent) override;
    std::string ClassName() const override { return "TPRLayoutPanel"; }

    TPRPrintPanelEvent BeforePrint;
    TPRPrintPanelEvent AfterPrint;
};

enum TPrintDirection { pdHorz, pdVert };

class TPRGridPanel : public TPRPanel {
public:
    explicit TPRGridPanel(TComponent* owner = nullptr);
    void PrintPanel(TPRCanvas& canvas, const TRect& rect) override;
    void SetParent(TControl* parent) override;
    std::string ClassName() const override { return "TPRGridPanel"; }

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetColCount(int value);
    void SetRowCount(int value);
    TPRChildPanel* ChildPanel() const { return childPanel_; }

    TPrintDirection PrintDirection = pdHorz;
    TPRPrintPanelEvent BeforePrint;
    TPRPrintPanelEvent AfterPrint;
    TPRPrintChildPanelEvent BeforePrintChild;
    TPRPrintChildPanelEvent AfterPrintChild;

protected:
    TRect AlignRect() const override;
    void Paint(QPainter& painter) const override;

private:
    int colCount_ = 1;
    int rowCount_ = 1;
    TPRChildPanel* childPanel_;  // owned through the component tree
};

// Checks the parent of a layout or grid panel; returns the parent to use.
TControl* CheckPanelParent(TControl* parent, bool redirectGrid);

}  // namespace tovra
