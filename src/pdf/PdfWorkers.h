#pragma once
// A small pool of worker threads for image compression. Jobs wait in a short queue: when it
// is full, the thread handing in the next job waits, so only a few pictures' raw pixels are
// ever in flight. With no workers, jobs run at once on the calling thread.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tovra {

class TWorkerPool {
public:
    // workers: threads to start (on the first job); 0 runs every job on the caller's thread.
    explicit TWorkerPool(int workers);
    // Jobs not yet started are dropped; running ones finish.
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    // A job must not throw; it reports its own failure (through a promise).
    void Run(std::function<void()> job);
    int Workers() const { return workers_; }

private:
    void Work();

    int workers_;
    std::size_t maxQueued_;
    std::vector<std::thread> threads_;
    std::deque<std::function<void()>> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
};

// Worker threads for image compression: TOVRA_THREADS when set to a positive number, else the
// machine's cores. 1 means no worker threads: everything runs on the calling thread.
int CompressionThreadCount();

}  // namespace tovra
