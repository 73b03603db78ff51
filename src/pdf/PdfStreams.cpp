#include "pdf/PdfStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Exceptions.h"

namespace tovra {

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
