#include "report/DescriptorStream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Exceptions.h"

namespace tovra {

namespace {
constexpr size_t kBufferSize = 1 << 16;
}  // namespace

TDescriptorStream::TDescriptorStream(int fd, std::string name, bool closeWhenDone)
    : fd_(fd), name_(std::move(name)), closeWhenDone_(closeWhenDone) {
    buffer_.reserve(kBufferSize);
}

TDescriptorStream::~TDescriptorStream() {
    // Unflushed bytes are dropped: a stream given up on after a failure writes nothing more.
    if (closeWhenDone_ && fd_ >= 0) close(fd_);
}

void TDescriptorStream::Write(const void* data, size_t count) {
    if (fd_ < 0) throw Exception("Cannot write to closed file " + name_);
    const auto* bytes = static_cast<const char*>(data);
    if (buffer_.size() + count > kBufferSize) Flush();
    if (count >= kBufferSize) {
        WriteOut(bytes, count);
    } else {
        buffer_.insert(buffer_.end(), bytes, bytes + count);
    }
    written_ += static_cast<int64_t>(count);
}

void TDescriptorStream::SetPosition(int64_t position) {
    if (position != written_)
        throw Exception("Error seeking in " + name_ + ": the output can only be written front to back");
}

void TDescriptorStream::Flush() {
    if (buffer_.empty()) return;
    WriteOut(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void TDescriptorStream::Close() {
    if (fd_ < 0) return;
    Flush();
    if (closeWhenDone_) {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0) throw Exception("Error writing to " + name_ + ": " + std::strerror(errno));
    }
}

void TDescriptorStream::WriteOut(const char* data, size_t count) {
    while (count > 0) {
        const ssize_t done = write(fd_, data, count);
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) throw Exception("Error writing to " + name_ + ": " + std::strerror(errno));
        data += done;
        count -= static_cast<size_t>(done);
    }
}

}  // namespace tovra
