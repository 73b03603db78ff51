#include "FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileIdentity.h"
#include "ImageErrors.h"
#include "ImageLimits.h"

namespace tovra {

std::string SpecialFileReason(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISFIFO(mode)) return "it is a pipe (FIFO), not a regular file";
    if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
    if (!S_ISREG(mode)) return "it is not a regular file";
    return {};
}

QByteArray ReadImageFileBytes(const std::string& path, const std::string& kind, TFileIdentity* identity) {
    // Without O_NONBLOCK, opening a pipe nobody writes to would wait forever; the kind of file
    // is checked on the open descriptor, so it cannot change between the check and the read.
    const TFileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) ThrowImageError(kind, path, std::strerror(errno));
    struct stat info {};
    if (fstat(file.Get(), &info) != 0) ThrowImageError(kind, path, std::strerror(errno));
    if (const std::string special = SpecialFileReason(info.st_mode); !special.empty())
        ThrowImageError(kind, path, special);
    if (identity) {
        const std::optional<TFileIdentity> taken = IdentityOfOpenFile(file.Get());
        if (!taken) ThrowImageError(kind, path, std::strerror(errno));
        *identity = *taken;
    }

    const off_t size = info.st_size;
    if (size > kMaxImageFileBytes)
        ThrowImageError(kind, path, "the file is too large (" + std::to_string(size) + " bytes)");
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.Get(), bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ThrowImageError(kind, path, std::string("the file cannot be read: ") + std::strerror(errno));
        if (got == 0) ThrowImageError(kind, path, "the file cannot be read: it became shorter while being read");
        done += got;
    }
    return bytes;
}

}  // namespace tovra
