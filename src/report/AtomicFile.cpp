#include "report/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/Exceptions.h"
#include "report/DescriptorStream.h"
#include "report/OutputTarget.h"
#include "report/ProcessSetup.h"

namespace tovra {

namespace {

[[noreturn]] void ThrowCannotCreate(const std::string& shownPath, const std::string& reason) {
    throw Exception("Cannot create file " + shownPath + ": " + reason);
}

// The new file while it is written, in the target's folder: unnamed where the file system
// allows it, so that nothing is left behind whatever happens to the process; else a hidden
// named file that removes itself unless it was committed.
class TTemporaryOutput {
public:
    TTemporaryOutput(const std::string& target, const std::string& shownPath) {
        const std::string folder = FolderOfOutput(target);
        fd_ = OpenUnnamedFile(folder, shownPath);
        if (fd_ >= 0) return;
        path_ = folder + "/.tovra-XXXXXX";
        fd_ = mkostemp(path_.data(), O_CLOEXEC);
        if (fd_ < 0) ThrowCannotCreate(shownPath, std::strerror(errno));
        named_ = true;
    }
    ~TTemporaryOutput() {
        close(fd_);
        if (named_ && !committed_) std::remove(path_.c_str());
    }
    TTemporaryOutput(const TTemporaryOutput&) = delete;
    TTemporaryOutput& operator=(const TTemporaryOutput&) = delete;

    int Descriptor() const { return fd_; }
    // Puts the finished file at target (see CommitTemporaryFile and LinkUnnamedFile).
    void Commit(const std::string& target, const std::string& shownPath, bool replaceExisting) {
        if (named_) {
            CommitTemporaryFile(path_, target, shownPath, replaceExisting);
        } else {
            LinkUnnamedFile(fd_, target, shownPath, replaceExisting);
        }
        committed_ = true;
    }

private:
    int fd_ = -1;
    std::string path_;
    bool named_ = false;
    bool committed_ = false;
};

// The permissions a newly created file would get; an existing target keeps its own.
mode_t ModeFor(const std::string& target) {
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Standard output, a pipe or a device cannot be replaced by a renamed file; the bytes go
// straight to it. Nothing is written before BeforeCommit has had its say.
void WriteDirectly(const std::string& path, const std::function<void(TStream&)>& write, const TWriteOptions& options) {
    const bool toStandardOutput = path == kStandardOutputName;
    if (toStandardOutput) RequireOpenStandardOutput();
    int fd = STDOUT_FILENO;
    if (!toStandardOutput) {
        fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) throw Exception("Cannot create file " + path + ": " + std::strerror(errno));
    }
    TDescriptorStream stream(fd, toStandardOutput ? "standard output" : path, !toStandardOutput);
    if (options.BeforeCommit) options.BeforeCommit();
    write(stream);
    stream.Close();
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::function<void(TStream&)>& write,
                         const TWriteOptions& options) {
    if (path == kStandardOutputName || IsSpecialOutput(path)) {
        WriteDirectly(path, write, options);
        return;
    }
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) ThrowCannotCreate(path, "it is a folder");
        if (access(path.c_str(), W_OK) != 0) ThrowCannotCreate(path, std::strerror(errno));
    } else if (errno != ENOENT) {
        ThrowCannotCreate(path, std::strerror(errno));  // a name too long, a folder not searchable ...
    }

    // The new file goes beside the file a link points to, so the link stays a link.
    const std::string target = ResolveOutputLinks(path);
    TTemporaryOutput temp(target, path);
    const int fd = temp.Descriptor();
    {
        // Messages name the output the user gave, not the temporary file.
        TFileStream stream(fcntl(fd, F_DUPFD_CLOEXEC, 0), path);
        write(stream);
        stream.Close();
    }
    fchmod(fd, ModeFor(target));
    // A crash after the file got its name must find the whole file under it, never an empty one.
    if (fsync(fd) != 0) throw Exception("Error writing to " + path + ": " + std::strerror(errno));
    if (options.BeforeCommit) options.BeforeCommit();
    temp.Commit(target, path, options.ReplaceExisting);
    SyncFolderOf(target);
}

}  // namespace tovra
