#include "pdf/PdfStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Exceptions.h"

namespace tovra {

int64_t TStream::CopyFromFile(int, uint64_t, uint64_t) { return -1; }

void TMemoryStream::Write(const void* data, size_t count) {
    if (count == 0) return;
    const auto* bytes = static_cast<const char*>(data);
    if (position_ == bytes_.size()) {
        bytes_.append(bytes, count);
    } else {
        if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
        std::memcpy(bytes_.data() + position_, bytes, count);
    }
    position_ += count;
}

void TMemoryStream::SetPosition(int64_t position) {
    if (position < 0) position = 0;
    position_ = static_cast<size_t>(position);
    if (position_ > bytes_.size()) bytes_.resize(position_);
}

std::string TMemoryStream::TakeBytes() {
    std::string bytes = std::move(bytes_);
    Clear();
    return bytes;
}

void TMemoryStream::Clear() {
    bytes_.clear();
    position_ = 0;
}

namespace {
std::string SystemError() { return std::strerror(errno); }
}  // namespace

TFileStream::TFileStream(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
    if (!file_) throw Exception("Cannot create file " + path + ": " + SystemError());
}

TFileStream::TFileStream(int fd, const std::string& path) : path_(path), file_(fd >= 0 ? fdopen(fd, "wb") : nullptr) {
    if (!file_) {
        const int error = errno;
        if (fd >= 0) close(fd);
        errno = error;
        throw Exception("Cannot create file " + path + ": " + SystemError());
    }
}

void TFileStream::Write(const void* data, size_t count) {
    if (!file_) throw Exception("Cannot write to closed file " + path_);
    if (count != 0 && std::fwrite(data, 1, count, file_.get()) != count)
        throw Exception("Error writing to " + path_ + ": " + SystemError());
}

int64_t TFileStream::Position() const { return file_ ? static_cast<int64_t>(ftello(file_.get())) : 0; }

void TFileStream::SetPosition(int64_t position) {
    if (file_ && fseeko(file_.get(), static_cast<off_t>(position), SEEK_SET) != 0)
        throw Exception("Error seeking in " + path_ + ": " + SystemError());
}

int64_t TFileStream::Size() const {
    if (!file_) return 0;
    const off_t here = ftello(file_.get());
    fseeko(file_.get(), 0, SEEK_END);
    const off_t size = ftello(file_.get());
    fseeko(file_.get(), here, SEEK_SET);
    return static_cast<int64_t>(size);
}

int64_t TFileStream::CopyFromFile(int fd, uint64_t offset, uint64_t count) {
    if (!file_ || std::fflush(file_.get()) != 0) return -1;
    const int out = fileno(file_.get());
    const off_t start = ftello(file_.get());
    if (start < 0) return -1;
    auto from = static_cast<off_t>(offset);
    auto to = start;
    uint64_t copied = 0;
    while (copied < count) {
        const ssize_t done = copy_file_range(fd, &from, out, &to, static_cast<size_t>(count - copied), 0);
        if (done < 0 && errno == EINTR) continue;
        if (done < 0 && copied == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                                        errno == EBADF || errno == ETXTBSY || errno == EPERM))
            return -1;  // not between these two files: the caller copies through a buffer
        if (done < 0) throw Exception("Error writing to " + path_ + ": " + SystemError());
        if (done == 0) break;
        copied += static_cast<uint64_t>(done);
    }
    // The bytes went in at explicit offsets; move the stream's position past them.
    SetPosition(static_cast<int64_t>(start) + static_cast<int64_t>(copied));
    return static_cast<int64_t>(copied);
}

void TFileStream::Close() {
    if (!file_) return;
    FILE* file = file_.release();
    const bool flushed = std::fflush(file) == 0;
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed) {
        errno = flushed ? errno : error;
        throw Exception("Error writing to " + path_ + ": " + SystemError());
    }
}

}  // namespace tovra
