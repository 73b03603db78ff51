#pragma once
// Seekable byte streams the PDF writer writes through: one kept in memory and one on disk.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tovra {

class TStream {
public:
    virtual ~TStream() = default;
    // Writes all bytes at the current position; fails with an exception on a short write.
    virtual void Write(const void* data, size_t count) = 0;
    virtual int64_t Position() const = 0;
    virtual void SetPosition(int64_t position) = 0;
    virtual int64_t Size() const = 0;

    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

    // Copies up to count bytes of an open file, from offset, straight into the stream at the
    // current position, and returns how many it copied (fewer when the file ends first).
    // Returns -1, having copied nothing, when this stream cannot take a file's bytes directly;
    // the caller then copies through a buffer.
    virtual int64_t CopyFromFile(int fd, uint64_t offset, uint64_t count);
};

// A growable in-memory buffer; writing past the end extends it.
class TMemoryStream : public TStream {
public:
    using TStream::Write;
    void Write(const void* data, size_t count) override;
    int64_t Position() const override { return static_cast<int64_t>(position_); }
    void SetPosition(int64_t position) override;
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }

    const std::string& Bytes() const { return bytes_; }
    void Clear();
    void Reserve(size_t capacity) { bytes_.reserve(capacity); }
    // Releases the capacity beyond the bytes held; the content stays as it is.
    void ShrinkToFit() { bytes_.shrink_to_fit(); }
    size_t Capacity() const { return bytes_.capacity(); }
    // Hands the bytes over and leaves the stream empty.
    std::string TakeBytes();

private:
    std::string bytes_;
    size_t position_ = 0;
};

// A file opened for writing (created or truncated). Write errors raise an exception naming the file.
class TFileStream : public TStream {
public:
    using TStream::Write;
    explicit TFileStream(const std::string& path);
    // Writes through a descriptor already open for writing, which the stream then owns;
    // path names the file in messages.
    TFileStream(int fd, const std::string& path);
    void Write(const void* data, size_t count) override;
    int64_t Position() const override;
    void SetPosition(int64_t position) override;
    int64_t Size() const override;
    // In the kernel (copy_file_range), without passing the bytes through this process.
    int64_t CopyFromFile(int fd, uint64_t offset, uint64_t count) override;
    // Flushes and closes the file, reporting a failure of the last writes.
    void Close();
    const std::string& Path() const { return path_; }

private:
    struct FileCloser {
        void operator()(FILE* file) const { std::fclose(file); }
    };
    std::string path_;
    std::unique_ptr<FILE, FileCloser> file_;
};

}  // namespace tovra
