#include "report/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "common/Exceptions.h"
#include "report/DescriptorStream.h"
#include "report/OutputTarget.h"

namespace tovra {

namespace {

// A temporary file beside the target that removes itself unless it was committed.
class TempFile {
public:
    explicit TempFile(const std::string& target) {
        const std::filesystem::path folder = std::filesystem::path(target).parent_path();
        path_ = ((folder.empty() ? std::filesystem::path(".") : folder) / ".tovra-XXXXXX").string();
        fd_ = mkstemp(path_.data());
        created_ = fd_ >= 0;
    }
    ~TempFile() {
        if (fd_ >= 0) close(fd_);
        if (created_ && !committed_) std::remove(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Created() const { return created_; }
    // The descriptor mkstemp opened, handed to the writer (which closes it) rather than
    // opening the file a second time.
    int TakeDescriptor() { return std::exchange(fd_, -1); }
    const std::string& Path() const { return path_; }
    void Committed() { committed_ = true; }

private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
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
    const std::string cannotCreate = "Cannot create file " + path;
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0 && (S_ISDIR(existing.st_mode) || access(path.c_str(), W_OK) != 0))
        throw Exception(cannotCreate);

    // The temporary file goes beside the file a link points to, so the link stays a link.
    const std::string target = ResolveOutputLinks(path);
    TempFile temp(target);
    if (!temp.Created()) throw Exception(cannotCreate);
    {
        TFileStream stream(temp.TakeDescriptor(), temp.Path());
        write(stream);
        stream.Close();
    }
    chmod(temp.Path().c_str(), ModeFor(target));
    // A crash after the rename must find the whole file under the name, never an empty one.
    SyncFileData(temp.Path(), path);
    if (options.BeforeCommit) options.BeforeCommit();
    CommitTemporaryFile(temp.Path(), target, path, options.ReplaceExisting);
    temp.Committed();
    SyncFolderOf(target);
}

}  // namespace tovra
