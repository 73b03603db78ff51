#include "DamageCheck.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include "imaging/JpegDamage.h"

namespace tovra {

TDamageCheck::TDamageCheck(std::function<void()> onDamaged)
    : watcher_(std::make_unique<QFutureWatcher<bool>>()), onDamaged_(std::move(onDamaged)) {
    QObject::connect(watcher_.get(), &QFutureWatcher<bool>::finished, watcher_.get(), [this] {
        if (!pending_) return;
        pending_ = false;
        if (watcher_->future().result()) onDamaged_();
    });
}

TDamageCheck::~TDamageCheck() = default;

void TDamageCheck::Start(const QByteArray& data) {
    pending_ = true;
    // The task holds its own reference to the bytes: it outlives neither them nor needs the window.
    // A new future replaces the old one in the watcher, which then reports only the new one.
    watcher_->setFuture(QtConcurrent::run([data] {
        return JpegDataIsDamaged(
            {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())});
    }));
}

}  // namespace tovra
