#pragma once
// The image list control: a list whose rows are reordered by dragging them within the list.
// A drag begins once the pointer has moved at least 4 pixels (either direction) from where the
// left button went down, and then the toolkit's own drag distance; only drags that started in
// this list are accepted; near the top and bottom edges the list scrolls one line per movement;
// the dragged row lands above the row it is dropped on, or last below the last row.
// Files dropped from outside are the file drop target's business and pass by untouched.
#include <functional>
#include <memory>

#include <QPixmap>

#include <QListWidget>

class QMimeData;

namespace tovra {

class TImageListBox : public QListWidget {
public:
    explicit TImageListBox(QWidget* parent = nullptr);

    // The press point of a possible drag, (-1, -1) when no press is pending. Held by the owner
    // (the main window keeps it as DragStart); null keeps it here.
    void SetDragStartStore(QPoint* store) { dragStart_ = store ? store : &ownDragStart_; }
    QPoint DragStart() const { return *dragStart_; }

    // Called on the drop with the dragged row and the target row (-1: below the last row).
    std::function<void(int from, int target)> OnRowDropped;
    // Called when the Delete key is pressed, whatever modifier keys are held.
    std::function<void()> OnDeleteKey;
    // Runs the drag of the given data (the toolkit's drag loop by default; tests replace it).
    std::function<void(std::unique_ptr<QMimeData> data, const QPixmap& image)> RunDrag;

    // The row a drag is carrying, -1 when none is under way.
    int DraggedRow() const { return draggedRow_; }
    // True once the pointer has moved far enough from the press point for a drag to begin.
    bool DragArmed() const { return pendingToolkitDistance_; }
    // The row under a point of the list's viewport, -1 below the last row.
    int TargetRowAt(const QPoint& point) const;
    // The picture shown under the pointer while a row is dragged: its text, black on white.
    QPixmap DragImage(int row) const;

    static constexpr int kDragThreshold = 4;
    static constexpr int kScrollZone = 5;
    static inline const char* const kRowMimeType = "application/x-tovra-list-row";

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool IsOwnRowDrag(const QMimeData* data) const;
    void BeginRowDrag();
    void ScrollNearEdges(const QPoint& point);
    void DefaultRunDrag(std::unique_ptr<QMimeData> data, const QPixmap& image);

    QPoint ownDragStart_{-1, -1};
    QPoint* dragStart_ = &ownDragStart_;
    int draggedRow_ = -1;
    bool pendingToolkitDistance_ = false;
    QPoint pendingFrom_;
};

}  // namespace tovra
