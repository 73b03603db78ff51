#pragma once
// What tells one state of a file from another without reading it: device, inode, size and
// modification time. A picture that is read again later (its bytes copied into the PDF when
// the document is written) is checked against the identity taken when it was first read.
#include <cstdint>
#include <optional>

namespace tovra {

struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedSeconds = 0;
    std::int64_t ModifiedNanoseconds = 0;
    friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};

// The identity of an open file, or nothing when fstat fails.
std::optional<TFileIdentity> IdentityOfOpenFile(int fd);

// Opens a file for reading without ever blocking on a FIFO or device; -1 with errno set on failure.
int OpenForReading(const char* path);

// Closes a descriptor when it goes out of scope.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor();
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    TFileDescriptor(TFileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    TFileDescriptor& operator=(TFileDescriptor&&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Reads exactly count bytes at offset; false on a read error or when the file ends first.
bool ReadFully(int fd, void* data, std::size_t count, std::uint64_t offset);

}  // namespace tovra
