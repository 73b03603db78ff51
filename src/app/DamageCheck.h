#pragma once
// Checks the data of the JPEG shown in the preview for damage on a worker thread: decoding a
// large photo's data takes about as long as decoding its preview, and the window need not wait
// for it. Only the latest check reports, on the window's thread.
#include <functional>
#include <memory>

#include <QByteArray>

template <typename T>
class QFutureWatcher;

namespace tovra {

class TDamageCheck {
public:
    // `onDamaged` is called on the thread that made the check when the data checked last is
    // damaged. A check still running when this goes away finishes unheard.
    explicit TDamageCheck(std::function<void()> onDamaged);
    ~TDamageCheck();
    TDamageCheck(const TDamageCheck&) = delete;
    TDamageCheck& operator=(const TDamageCheck&) = delete;

    // Starts checking `data` (a JPEG file's bytes); a check under way no longer reports.
    void Start(const QByteArray& data);
    // The check under way, if any, no longer reports.
    void Stop() { pending_ = false; }
    // Whether a started check has not reported yet.
    bool Pending() const { return pending_; }

private:
    std::unique_ptr<QFutureWatcher<bool>> watcher_;
    std::function<void()> onDamaged_;
    bool pending_ = false;
};

}  // namespace tovra
