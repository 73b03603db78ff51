#include "components/Other/FileDrop.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace tovra {

namespace {

// The object name Qt gives a scroll area's viewport, where its drops are delivered.
constexpr const char* ScrollAreaViewportName = "qt_scrollarea_viewport";

// Takes the drag as a copy when it offers one (or a link); false when it only offers a move.
bool AcceptAsCopy(QDropEvent& event) {
    if (event.possibleActions() & Qt::CopyAction) {
        event.setDropAction(Qt::CopyAction);
    } else if (event.possibleActions() & Qt::LinkAction) {
        event.setDropAction(Qt::LinkAction);
    } else {
        event.ignore();
        return false;
    }
    event.accept();
    return true;
}

}  // namespace

std::vector<std::string> LocalFilesOf(const QMimeData* data) {
    std::vector<std::string> files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    return files;
}

TFileDrop::TFileDrop(QObject* owner) : QObject(owner) {}

TFileDrop::~TFileDrop() { Unhook(); }

void TFileDrop::SetEnableDrop(bool enable) {
    if (control_.isNull()) return;
    enableDrop_ = enable;
    ApplyAcceptDrops();
}

void TFileDrop::SetDropControl(QObject* control) {
    if (control == control_.data()) return;
    Unhook();
    if (control == nullptr) return;
    Hook(control);
    SetEnableDrop(true);
}

void TFileDrop::Hook(QObject* control) {
    control_ = control;
    watched_.push_back({control, control->property("acceptDrops")});
    if (QObject* viewport = control->findChild<QObject*>(ScrollAreaViewportName, Qt::FindDirectChildrenOnly))
        watched_.push_back({viewport, viewport->property("acceptDrops")});
    for (const Watched& w : watched_) w.object->installEventFilter(this);
}

void TFileDrop::Unhook() {
    enableDrop_ = false;
    ApplyAcceptDrops();
    for (const Watched& w : watched_)
        if (!w.object.isNull()) w.object->removeEventFilter(this);
    watched_.clear();
    control_ = nullptr;
}

void TFileDrop::ApplyAcceptDrops() {
    for (const Watched& w : watched_) {
        if (w.object.isNull()) continue;
        if (enableDrop_) w.object->setProperty("acceptDrops", true);
        else if (w.acceptDropsBefore.isValid()) w.object->setProperty("acceptDrops", w.acceptDropsBefore);
        else w.object->setProperty("acceptDrops", QVariant());  // removes the dynamic property we added
    }
}

bool TFileDrop::IsWatched(const QObject* object) const {
    for (const Watched& w : watched_)
        if (w.object.data() == object) return true;
    return false;
}

bool TFileDrop::eventFilter(QObject* watched, QEvent* event) {
    if (!enableDrop_ || !IsWatched(watched)) return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto& drag = static_cast<QDropEvent&>(*event);
        if (LocalFilesOf(drag.mimeData()).empty()) return false;
        AcceptAsCopy(drag);
        return true;
    }
    case QEvent::Drop: {
        auto& drop = static_cast<QDropEvent&>(*event);
        if (LocalFilesOf(drop.mimeData()).empty()) return false;
        if (AcceptAsCopy(drop)) HandleDrop(drop);
        return true;
    }
    default:
        return false;
    }
}

void TFileDrop::HandleDrop(QDropEvent& event) {
    files_ = LocalFilesOf(event.mimeData());
    dropPoint_ = event.position().toPoint();
    if (OnDrop) OnDrop(*this);
}

}  // namespace tovra
