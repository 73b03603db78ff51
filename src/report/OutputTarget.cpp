#include "report/OutputTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/Exceptions.h"
#include "imaging/FileIdentity.h"

namespace tovra {

namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows before it reports a loop.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

[[noreturn]] void ThrowAppeared(const std::string& shownPath) {
    throw Exception("Cannot create file " + shownPath +
                    ": a file of that name appeared while the PDF was being made; it was left as it is");
}

bool Unsupported(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP; }

// The move without replacing, for file systems without RENAME_NOREPLACE: a hard link cannot
// be made over an existing name either. Where hard links are not supported as well, only a
// last look closes the gap as far as possible.
void LinkWithoutReplacing(const std::string& temporary, const std::string& target, const std::string& shownPath) {
    if (link(temporary.c_str(), target.c_str()) == 0) {
        unlink(temporary.c_str());
        return;
    }
    if (errno == EEXIST) ThrowAppeared(shownPath);
    if (errno != EPERM && !Unsupported(errno) && errno != EMLINK)
        throw Exception("Cannot create file " + shownPath + ": " + std::strerror(errno));
    struct stat existing {};
    if (lstat(target.c_str(), &existing) == 0) ThrowAppeared(shownPath);
    if (std::rename(temporary.c_str(), target.c_str()) != 0)
        throw Exception("Cannot create file " + shownPath + ": " + std::strerror(errno));
}

}  // namespace

std::string ResolveOutputLinks(const std::string& path) {
    fs::path current(path);
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)) || error) return current.string();
        const fs::path next = fs::read_symlink(current, error);
        if (error) throw Exception("Cannot create file " + path + ": " + error.message());
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    throw Exception("Cannot create file " + path + ": " + std::strerror(ELOOP));
}

bool IsSpecialOutput(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

void CommitTemporaryFile(const std::string& temporary, const std::string& target, const std::string& shownPath,
                         bool replaceExisting) {
    if (replaceExisting) {
        if (std::rename(temporary.c_str(), target.c_str()) != 0) throw Exception("Cannot create file " + shownPath);
        return;
    }
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno == EEXIST) ThrowAppeared(shownPath);
    if (!Unsupported(errno)) throw Exception("Cannot create file " + shownPath + ": " + std::strerror(errno));
    LinkWithoutReplacing(temporary, target, shownPath);
}

void SyncFileData(const std::string& path, const std::string& shownPath) {
    const TFileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0 || fsync(file.Get()) != 0)
        throw Exception("Error writing to " + shownPath + ": " + std::strerror(errno));
}

void SyncFolderOf(const std::string& path) {
    // Best effort: the file is in place already, and some file systems cannot sync a folder.
    const TFileDescriptor folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) fsync(folder.Get());
}

}  // namespace tovra
