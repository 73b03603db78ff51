#include "ImageListBox.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace tovra {

namespace {

constexpr int kRowHeight = 15;

// Rows are 15 pixels high whatever the style would choose.
class TFixedRowHeight : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight};
    }
};

bool Holds(const QPoint& p) { return p.x() >= 0 && p.y() >= 0; }

}  // namespace

TImageListBox::TImageListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TFixedRowHeight(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // The list runs its own row dragging; the view's built-in one stays off.
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    RunDrag = [this](std::unique_ptr<QMimeData> data, const QPixmap& image) { DefaultRunDrag(std::move(data), image); };
}

int TImageListBox::TargetRowAt(const QPoint& point) const {
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : -1;
}

QPixmap TImageListBox::DragImage(int row) const {
    const QListWidgetItem* dragged = item(row);
    const QString text = dragged ? dragged->text() : QString();
    const QFontMetrics metrics(font());
    QPixmap image(std::max(1, metrics.horizontalAdvance(text) + 4), kRowHeight);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(image.rect().adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    return image;
}

void TImageListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) *dragStart_ = event->position().toPoint();
}

void TImageListBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (pendingToolkitDistance_) {
        // Armed: the toolkit's own drag distance decides when the drag shows.
        if ((at - pendingFrom_).manhattanLength() >= QApplication::startDragDistance()) {
            pendingToolkitDistance_ = false;
            BeginRowDrag();
        }
        return;
    }
    const QPoint start = *dragStart_;
    if ((event->buttons() & Qt::LeftButton) && Holds(start) && draggedRow_ < 0 &&
        (std::abs(at.x() - start.x()) >= kDragThreshold || std::abs(at.y() - start.y()) >= kDragThreshold)) {
        pendingToolkitDistance_ = true;
        pendingFrom_ = at;
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

void TImageListBox::mouseReleaseEvent(QMouseEvent* event) {
    *dragStart_ = QPoint(-1, -1);
    pendingToolkitDistance_ = false;
    QListWidget::mouseReleaseEvent(event);
}

void TImageListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        if (OnDeleteKey) OnDeleteKey();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TImageListBox::BeginRowDrag() {
    const int row = currentRow();
    if (row < 0 || !item(row) || !item(row)->isSelected()) return;  // nothing selected: no drag
    auto data = std::make_unique<QMimeData>();
    data->setData(kRowMimeType, QByteArray::number(row));
    draggedRow_ = row;
    // Whatever happens in the drag loop, the list is not dragging afterwards. The drag loop
    // takes the button's release, so the press point is forgotten here too: otherwise the next
    // movement without a button would start another drag.
    struct TDragEnd {
        int& row;
        QPoint& start;
        ~TDragEnd() {
            row = -1;
            start = QPoint(-1, -1);
        }
    } end{draggedRow_, *dragStart_};
    RunDrag(std::move(data), DragImage(row));
}

void TImageListBox::DefaultRunDrag(std::unique_ptr<QMimeData> data, const QPixmap& image) {
    QDrag drag(this);
    drag.setMimeData(data.release());  // the drag takes the data
    drag.setPixmap(image);
    drag.exec(Qt::MoveAction);
}

bool TImageListBox::IsOwnRowDrag(const QMimeData* data) const {
    return draggedRow_ >= 0 && data && data->hasFormat(kRowMimeType);
}

void TImageListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (IsOwnRowDrag(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    }
    event->ignore();
}

void TImageListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (!IsOwnRowDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    ScrollNearEdges(event->position().toPoint());
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void TImageListBox::dragLeaveEvent(QDragLeaveEvent* event) { event->accept(); }

void TImageListBox::ScrollNearEdges(const QPoint& point) {
    QScrollBar* bar = verticalScrollBar();
    if (point.y() < kScrollZone) {
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (viewport()->height() - point.y() <= kScrollZone) {
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
}

void TImageListBox::dropEvent(QDropEvent* event) {
    if (!IsOwnRowDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    const int from = draggedRow_;
    const int target = TargetRowAt(event->position().toPoint());
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (OnRowDropped) OnRowDropped(from, target);
}

}  // namespace tovra
