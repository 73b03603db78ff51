#pragma once
// Clean-up that runs on every path out of a block: the busy cursor put back, a flag cleared,
// a widget's drawing resumed.
#include <QApplication>
#include <QWidget>

namespace tovra {

// Shows the busy cursor while it lives.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// Sets a flag while it lives and clears it afterwards.
class TFlagSet {
public:
    explicit TFlagSet(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagSet() { flag_ = false; }
    TFlagSet(const TFlagSet&) = delete;
    TFlagSet& operator=(const TFlagSet&) = delete;

private:
    bool& flag_;
};

// Suspends a widget's drawing while it lives; then draws it again at once, completely.
class TRedrawSuspended {
public:
    explicit TRedrawSuspended(QWidget* widget) : widget_(widget) {
        if (widget_) widget_->setUpdatesEnabled(false);
    }
    ~TRedrawSuspended() { SetRedrawOn(widget_); }
    TRedrawSuspended(const TRedrawSuspended&) = delete;
    TRedrawSuspended& operator=(const TRedrawSuspended&) = delete;

    // Lets the widget draw again and redraws it with everything on it.
    static void SetRedrawOn(QWidget* widget) {
        if (!widget) return;
        widget->setUpdatesEnabled(true);
        widget->update();
    }

private:
    QWidget* widget_;
};

}  // namespace tovra
