#include "report/Controls.h"

#include <algorithm>

#include <QPainter>

namespace tovra {

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() {
    while (!owned_.empty()) owned_.pop_back();
}

void TComponent::AdoptOwned(std::unique_ptr<TComponent> component) { owned_.push_back(std::move(component)); }

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    for (TControl* child : children_) child->parent_ = nullptr;
    if (parent_) parent_->RemoveChild(this);
}

void TControl::RemoveChild(TControl* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
}

void TControl::SetParent(TControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        parent_->RemoveChild(this);
        parent_->Invalidate();
    }
    parent_ = parent;
    if (parent_) {
        parent_->children_.push_back(this);
        parent_->AlignControls();
        Invalidate();
    }
}

std::vector<TControl*> TControl::Children() const {
    std::vector<TControl*> ordered;
    ordered.reserve(children_.size());
    for (TControl* child : children_)
        if (!child->IsWindowControl()) ordered.push_back(child);
    for (TControl* child : children_)
        if (child->IsWindowControl()) ordered.push_back(child);
    return ordered;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (parent_ && align_ == alClient) {
        // A client-aligned control always fills its parent's alignment rectangle.
        const TRect area = parent_->AlignRect();
        left = area.Left;
        top = area.Top;
        width = std::max(0, area.Width());
        height = std::max(0, area.Height());
    }
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    if (parent_) parent_->Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) AlignControls();
    Invalidate();
}

void TControl::SetAlign(TAlign value) {
    if (value == align_) return;
    align_ = value;
    if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    if (parent_) parent_->Invalidate();
}

void TControl::AlignControls() {
    for (TControl* child : children_) {
        if (child->align_ == alClient) child->SetBounds(child->left_, child->top_, child->width_, child->height_);
    }
}

void TControl::Invalidate() {
    if (parent_) parent_->Invalidate();
}

void TControl::Paint(QPainter&) const {}

void TControl::PaintTree(QPainter& painter) const {
    Paint(painter);
    for (const TControl* child : Children()) {
        if (!child->visible_) continue;
        painter.save();
        painter.translate(child->left_, child->top_);
        painter.setClipRect(QRect(0, 0, child->width_, child->height_), Qt::IntersectClip);
        child->PaintTree(painter);
        painter.restore();
    }
}

}  // namespace tovra
