#include "pdf/PdfWorkers.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace tovra {

namespace {
constexpr int kMaxThreads = 64;
}

int CompressionThreadCount() {
    if (const char* text = std::getenv("TOVRA_THREADS"); text && *text) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end && *end == '\0' && value > 0) return static_cast<int>(std::min<long>(value, kMaxThreads));
    }
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
}

TWorkerPool::TWorkerPool(int workers)
    : workers_(std::max(workers, 0)), maxQueued_(1) {}

TWorkerPool::~TWorkerPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void TWorkerPool::Run(std::function<void()> job) {
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
    changed_.wait(lock, [this] { return queue_.size() < maxQueued_; });
    queue_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
}

void TWorkerPool::Work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();  // room in the queue
        job();
    }
}

}  // namespace tovra
