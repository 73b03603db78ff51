#include "report/OutputTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "common/Exceptions.h"
#include "imaging/FileIdentity.h"

namespace tovra {

namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows before it reports a loop.
constexpr int kMaxLinkHops = 40;

// Tries for a fresh hidden name beside an unnamed file's target before giving up.
constexpr int kHiddenNameTries = 100;

[[noreturn]] void ThrowCannotCreate(const std::string& shownPath, int error) {
    throw Exception("Cannot create file " + shownPath + ": " + std::strerror(error));
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
    if (errno != EPERM && !Unsupported(errno) && errno != EMLINK) ThrowCannotCreate(shownPath, errno);
    struct stat existing {};
    if (lstat(target.c_str(), &existing) == 0) ThrowAppeared(shownPath);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) ThrowCannotCreate(shownPath, errno);
}

// Links the unnamed file open as fd under name; 0, or the error. Through /proc, since linking
// the descriptor itself (AT_EMPTY_PATH) needs a privilege.
int LinkDescriptor(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    const int error = errno;
    if (error == ENOENT && linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    return error;
}

// ".tovra-" and six random letters or digits, in the folder of target.
std::string HiddenNameBeside(const std::string& target) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = FolderOfOutput(target) + "/.tovra-";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    return name;
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

std::string FolderOfOutput(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string ScratchFolderFor(const std::string& output) {
    if (output == kStandardOutputName || IsSpecialOutput(output)) return {};
    return FolderOfOutput(output);
}

bool IsSpecialOutput(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

void CommitTemporaryFile(const std::string& temporary, const std::string& target, const std::string& shownPath,
                         bool replaceExisting) {
    if (replaceExisting) {
        if (std::rename(temporary.c_str(), target.c_str()) != 0) ThrowCannotCreate(shownPath, errno);
        return;
    }
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno == EEXIST) ThrowAppeared(shownPath);
    if (!Unsupported(errno)) ThrowCannotCreate(shownPath, errno);
    LinkWithoutReplacing(temporary, target, shownPath);
}

int OpenUnnamedFile(const std::string& folder, const std::string& shownPath) {
    // Without /proc the finished file could only be linked with a privilege.
    if (access("/proc/self/fd", X_OK) != 0) return -1;
    const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    // Kernels and file systems without O_TMPFILE answer with one of these.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return -1;
    ThrowCannotCreate(shownPath, errno);
}

void LinkUnnamedFile(int fd, const std::string& target, const std::string& shownPath, bool replaceExisting) {
    if (!replaceExisting) {
        const int error = LinkDescriptor(fd, target);
        if (error == EEXIST) ThrowAppeared(shownPath);
        if (error != 0) ThrowCannotCreate(shownPath, error);
        return;
    }
    // A link never replaces a name: link under a hidden name of our own, then rename over target.
    for (int tried = 0; tried < kHiddenNameTries; ++tried) {
        const std::string hidden = HiddenNameBeside(target);
        const int error = LinkDescriptor(fd, hidden);
        if (error == EEXIST) continue;
        if (error != 0) ThrowCannotCreate(shownPath, error);
        if (std::rename(hidden.c_str(), target.c_str()) != 0) {
            const int renameError = errno;
            unlink(hidden.c_str());
            ThrowCannotCreate(shownPath, renameError);
        }
        return;
    }
    ThrowCannotCreate(shownPath, EEXIST);
}

void SyncFolderOf(const std::string& path) {
    // Best effort: the file is in place already, and some file systems cannot sync a folder.
    const TFileDescriptor folder(open(FolderOfOutput(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) fsync(folder.Get());
}

}  // namespace tovra
