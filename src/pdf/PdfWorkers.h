#pragma once
// A small pool of worker threads for image compression. Jobs wait in a short queue, held to a
// budget in bytes: when the raw bytes of the jobs queued and running would go beyond it, the
// thread handing in the next job waits, so memory stays bounded whatever the number of threads.
// A job larger than the budget waits until nothing else is in flight. With no workers, jobs
// run at once on the calling thread.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tovra {

// Worker threads for image compression: TOVRA_THREADS when set to a positive number, else the
// machine's cores. 1 means no worker threads: everything runs on the calling thread.
int CompressionThreadCount();

// The bytes of raw pixels that may wait for compression at once: 256 MiB, or a quarter of the
// physical memory when that is less.
std::uint64_t CompressionQueueBudget();

class TWorkerPool {
public:
    // workers: threads to start (on the first job); 0 runs every job on the caller's thread.
    // byteBudget: the most bytes in flight at once (see Run).
    TWorkerPool(int workers, std::uint64_t byteBudget = CompressionQueueBudget());
    // Jobs not yet started are dropped; running ones finish.
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    // A job must not throw; it reports its own failure (through a promise). bytes: the memory
    // the job holds until it is done (the raw pixels it compresses), counted against the budget
    // from now until it returns.
    void Run(std::function<void()> job, std::uint64_t bytes = 0);
    int Workers() const { return workers_; }

    // The bytes of the jobs queued and running, and how many Run calls wait for room.
    std::uint64_t BytesInFlight();
    int WaitingJobs();

private:
    struct TJob {
        std::function<void()> work;
        std::uint64_t bytes;
    };
    void Work();
    bool HasRoomFor(std::uint64_t bytes) const;

    int workers_;
    std::uint64_t byteBudget_;
    std::size_t maxQueued_;
    std::uint64_t inFlight_ = 0;
    int waiting_ = 0;
    std::vector<std::thread> threads_;
    std::deque<TJob> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
};

}  // namespace tovra
