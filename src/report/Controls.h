#pragma once
// A small control tree for the report components: owners that destroy what they own
// (last made, first destroyed), parents with an ordered list of children, bounds relative
// to the parent, client alignment and visibility. Components paint with QPainter, so a page
// can be drawn into a QImage without a display.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QRect>

class QPainter;

namespace tovra {

// Left, top, right and bottom in points.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Makes a component owned by this one; it is destroyed with its owner.
    template <class T, class... Args>
    T* Make(Args&&... args) {
        auto made = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = made.get();
        AdoptOwned(std::move(made));
        return raw;
    }

    TComponent* Owner() const { return owner_; }
    std::string Name;
    virtual std::string ClassName() const { return "TComponent"; }

private:
    void AdoptOwned(std::unique_ptr<TComponent> component);
    TComponent* owner_;
    std::vector<std::unique_ptr<TComponent>> owned_;
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner = nullptr);
    ~TControl() override;

    TControl* Parent() const { return parent_; }
    virtual void SetParent(TControl* parent);
    // Children in walking order: controls without a window of their own (items) first,
    // in the order they were added, then window controls (panels, pages).
    std::vector<TControl*> Children() const;
    virtual bool IsWindowControl() const { return true; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    // Paints this control and its visible children; the painter's origin is this control's top-left.
    void PaintTree(QPainter& painter) const;
    // Asks for the control to be painted again; the page passes it on to whoever shows it.
    virtual void Invalidate();

    std::string ClassName() const override { return "TControl"; }

protected:
    virtual void Paint(QPainter& painter) const;
    // The rectangle client-aligned children fill, in this control's coordinates.
    virtual TRect AlignRect() const { return {0, 0, width_, height_}; }
    // Fits the client-aligned children to AlignRect.
    void AlignControls();

private:
    void RemoveChild(TControl* child);
    TControl* parent_ = nullptr;
    std::vector<TControl*> children_;  // not owned: owners own components
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
};

}  // namespace tovra
