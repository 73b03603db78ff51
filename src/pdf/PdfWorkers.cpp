#include "pdf/PdfWorkers.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace tovra {

namespace {
constexpr int kMaxThreads = 64;
constexpr std::uint64_t kMaxQueueBudget = std::uint64_t{256} << 20;
}  // namespace

int CompressionThreadCount() {
    if (const char* text = std::getenv("TOVRA_THREADS"); text && *text) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end && *end == '\0' && value > 0) return static_cast<int>(std::min<long>(value, kMaxThreads));
    }
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
}

std::uint64_t CompressionQueueBudget() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return kMaxQueueBudget;
    return std::min(kMaxQueueBudget, static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 4);
}

TWorkerPool::TWorkerPool(int workers, std::uint64_t byteBudget)
    : workers_(std::max(workers, 0)), byteBudget_(byteBudget), maxQueued_(1) {}

TWorkerPool::~TWorkerPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

bool TWorkerPool::HasRoomFor(std::uint64_t bytes) const {
    if (queue_.size() >= maxQueued_) return false;
    // Alone, a job may be larger than the budget: it only waits until nothing else is in flight.
    return inFlight_ == 0 || inFlight_ + bytes <= byteBudget_;
}

void TWorkerPool::Run(std::function<void()> job, std::uint64_t bytes) {
    if (workers_ == 0) {
        job();
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (threads_.empty()) {
        try {
            threads_.reserve(static_cast<std::size_t>(workers_));
            for (int i = 0; i < workers_; ++i) threads_.emplace_back([this] { Work(); });
        } catch (const std::exception&) {
            // No thread to be had: the ones that started serve alone, or the caller does the work.
            if (threads_.empty()) {
                workers_ = 0;
                lock.unlock();
                job();
                return;
            }
        }
    }
    ++waiting_;
    changed_.wait(lock, [this, bytes] { return HasRoomFor(bytes); });
    --waiting_;
    inFlight_ += bytes;
    queue_.push_back({std::move(job), bytes});
    lock.unlock();
    changed_.notify_all();
}

std::uint64_t TWorkerPool::BytesInFlight() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return inFlight_;
}

int TWorkerPool::WaitingJobs() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return waiting_;
}

void TWorkerPool::Work() {
    for (;;) {
        TJob job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();  // room in the queue
        job.work();
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            inFlight_ -= job.bytes;
        }
        changed_.notify_all();  // room in the budget
    }
}

}  // namespace tovra
