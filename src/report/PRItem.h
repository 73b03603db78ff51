#pragma once
// The base of printable items: small controls without a window of their own, placed on a
// panel, that draw themselves onto the PDF page when the panel prints them.
#include "report/PRPanels.h"

namespace tovra {

class TPRItem : public TControl {
public:
    explicit TPRItem(TComponent* owner = nullptr);
    bool IsWindowControl() const override { return false; }
    // Items sit on panels only; a grid panel hands over its cell.
    void SetParent(TControl* parent) override;
    virtual void PrintItem(TPRCanvas& canvas, const TRect& rect);
    TPRPage* HostPage() const;
    std::string ClassName() const override { return "TPRItem"; }

    bool Printable = true;
};

}  // namespace tovra
