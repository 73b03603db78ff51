#pragma once
// TFileDrop lets the user drop files from a file manager onto one control, its drop control,
// and reports the dropped files' local paths to its owner.
//
// It watches the control's drag-and-drop events through an event filter: drags that carry local
// file URLs are taken (entered, moved over, dropped) while dropping is enabled; every other event,
// drags without files included (such as a list's own row dragging), reaches the control
// untouched. For a scroll area such as a list, the drops arrive on its viewport, so the viewport
// is watched too and DropPoint is given in the viewport's coordinates.
//
// The control is any QObject. A widget's Q_PROPERTY "acceptDrops" is turned on while dropping is
// enabled and given back its earlier value when dropping is disabled or the control is let go;
// this works through QObject properties, without widget headers.
//
// Dropped files are taken as a copy: a drag that offers only moving the files is refused, so a
// file manager never deletes what was dropped here.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <string>
#include <vector>

class QDropEvent;
class QMimeData;

namespace tovra {

class TFileDrop : public QObject {
public:
    explicit TFileDrop(QObject* owner = nullptr);
    ~TFileDrop() override;
    TFileDrop(const TFileDrop&) = delete;
    TFileDrop& operator=(const TFileDrop&) = delete;

    // Local paths of the files of the last drop, in the order the drag listed them.
    const std::vector<std::string>& Files() const { return files_; }
    int FileCount() const { return static_cast<int>(files_.size()); }

    // False once the drop control is gone.
    bool EnableDrop() const { return enableDrop_ && !control_.isNull(); }
    // Ignored (and not stored) while there is no drop control.
    void SetEnableDrop(bool enable);

    QObject* DropControl() const { return control_.data(); }
    // Assigning another control lets the previous one go and turns dropping on; nullptr lets
    // the control go and turns dropping off; the control already set changes nothing.
    void SetDropControl(QObject* control);

    // Where the last drop happened, in the coordinates of the object that received it.
    QPoint DropPoint() const { return dropPoint_; }

    // Called after each drop, once Files is filled.
    std::function<void(TFileDrop& sender)> OnDrop;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Watched {
        QPointer<QObject> object;
        QVariant acceptDropsBefore;  // invalid when the object had no such property
    };

    void Hook(QObject* control);
    void Unhook();
    void ApplyAcceptDrops();
    bool IsWatched(const QObject* object) const;
    void HandleDrop(QDropEvent& event);

    std::vector<std::string> files_;
    bool enableDrop_ = false;
    QPointer<QObject> control_;
    std::vector<Watched> watched_;
    QPoint dropPoint_;
};

// Local paths of the file URLs in a drag's data, in their order; empty when there are none.
std::vector<std::string> LocalFilesOf(const QMimeData* data);

}  // namespace tovra
