#include "report/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <utility>

#include "common/Exceptions.h"

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

}  // namespace

void WriteFileAtomically(const std::string& path, const std::function<void(TStream&)>& write) {
    const std::string cannotCreate = "Cannot create file " + path;
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0 && (S_ISDIR(existing.st_mode) || access(path.c_str(), W_OK) != 0))
        throw Exception(cannotCreate);

    TempFile temp(path);
    if (!temp.Created()) throw Exception(cannotCreate);
    {
        TFileStream stream(temp.TakeDescriptor(), temp.Path());
        write(stream);
        stream.Close();
    }
    chmod(temp.Path().c_str(), ModeFor(path));
    if (std::rename(temp.Path().c_str(), path.c_str()) != 0) throw Exception(cannotCreate);
    temp.Committed();
}

}  // namespace tovra
