#include "FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tovra {

std::optional<TFileIdentity> IdentityOfOpenFile(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0) return std::nullopt;
    return TFileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                         static_cast<std::int64_t>(status.st_size), static_cast<std::int64_t>(status.st_mtim.tv_sec),
                         static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
}

int OpenForReading(const char* path) { return open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK); }

TFileDescriptor::~TFileDescriptor() {
    if (fd_ >= 0) close(fd_);
}

bool ReadFully(int fd, void* data, std::size_t count, std::uint64_t offset) {
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = pread(fd, bytes + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace tovra
