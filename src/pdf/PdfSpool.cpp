#include "pdf/PdfSpool.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/Exceptions.h"

namespace tovra {

namespace {

constexpr std::size_t kCopyBufferSize = std::size_t{1} << 20;

std::string SpoolFailure(const char* what, const std::string& folder, int error) {
    return std::string(what) + " a temporary file in " + folder + ": " + std::strerror(error);
}

}  // namespace

std::vector<char>& CopyBuffer() {
    thread_local std::vector<char> buffer(kCopyBufferSize);
    return buffer;
}

std::vector<std::string> SpoolFolders(const std::string& preferred) {
    std::vector<std::string> folders;
    if (!preferred.empty()) folders.push_back(preferred);
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp) folders.emplace_back(tmp);
    folders.emplace_back("/tmp");
    return folders;
}

TSpoolFile::TSpoolFile(std::vector<std::string> folders) : candidates_(std::move(folders)) {}

TSpoolFile::~TSpoolFile() {
    if (fd_ >= 0) close(fd_);
}

void TSpoolFile::Open() {
    int lastError = ENOENT;
    for (const std::string& folder : candidates_) {
        std::string path = folder + "/.tovra-spool-XXXXXX";
        const int fd = mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        // Unlinked at once: nobody else sees it, and it is gone when the descriptor closes.
        unlink(path.c_str());
        fd_ = fd;
        folder_ = folder;
        return;
    }
    throw Exception(SpoolFailure("Cannot store image data in", candidates_.empty() ? std::string(".") : candidates_.back(), lastError));
}

TSpoolSlice TSpoolFile::Append(std::string_view bytes) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) Open();
    const TSpoolSlice slice{end_, bytes.size()};
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                       static_cast<off_t>(slice.Offset + done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw Exception(SpoolFailure("Cannot store image data in", folder_, written < 0 ? errno : ENOSPC));
        done += static_cast<std::size_t>(written);
    }
    end_ += bytes.size();
    return slice;
}

void TSpoolFile::CopyTo(const TSpoolSlice& slice, TStream& out) const {
    if (slice.Length == 0) return;
    const std::int64_t copied = out.CopyFromFile(fd_, slice.Offset, slice.Length);
    if (copied >= 0 && static_cast<std::uint64_t>(copied) != slice.Length)
        throw Exception(SpoolFailure("Cannot read image data back from", folder_, EIO));
    if (copied >= 0) return;
    std::vector<char>& buffer = CopyBuffer();
    std::uint64_t done = 0;
    while (done < slice.Length) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), slice.Length - done));
        const ssize_t got = pread(fd_, buffer.data(), want, static_cast<off_t>(slice.Offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw Exception(SpoolFailure("Cannot read image data back from", folder_, got < 0 ? errno : EIO));
        out.Write(buffer.data(), static_cast<std::size_t>(got));
        done += static_cast<std::uint64_t>(got);
    }
}

}  // namespace tovra
