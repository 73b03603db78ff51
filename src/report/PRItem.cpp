#include "report/PRItem.h"

#include "common/Exceptions.h"

namespace tovra {

TPRItem::TPRItem(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 100, 30); }

void TPRItem::SetParent(TControl* parent) {
    if (parent && !dynamic_cast<TPRPanel*>(parent)) throw Exception("this component must set on TPRPanel");
    if (auto* grid = dynamic_cast<TPRGridPanel*>(parent)) parent = grid->ChildPanel();
    TControl::SetParent(parent);
}

void TPRItem::PrintItem(TPRCanvas&, const TRect&) {}

TPRPage* TPRItem::HostPage() const {
    auto* panel = dynamic_cast<TPRPanel*>(Parent());
    return panel ? panel->HostPage() : nullptr;
}

}  // namespace tovra
