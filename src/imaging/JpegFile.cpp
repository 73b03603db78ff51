#include "JpegFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>

#include <sys/stat.h>

#include "FileBytes.h"
#include "ImageErrors.h"
#include "ImageLimits.h"
#include "ImageLoaders.h"
#include "JpegImage.h"

namespace tovra {

namespace {

// Enough for the header of nearly every file, EXIF thumbnail included; more is read when not.
constexpr std::size_t kFirstHeadBytes = std::size_t{64} * 1024;
constexpr std::size_t kTailChunkBytes = std::size_t{64} * 1024;
constexpr const char* kChanged = "the file has changed since it was loaded";

[[noreturn]] void Fail(const std::string& path, const std::string& reason) { ThrowImageError("JPEG", path, reason); }

std::span<const std::uint8_t> BytesOf(const char* data, std::size_t count) {
    return {reinterpret_cast<const std::uint8_t*>(data), count};
}

// Scratch bytes that are always overwritten before use: not zeroed first.
std::unique_ptr<char[]> Scratch(std::size_t count) { return std::make_unique_for_overwrite<char[]>(count); }

// The header from as few leading bytes as will hold it.
TJpegHeaderStart ReadHead(int fd, std::uint64_t size, const std::string& path) {
    std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, kFirstHeadBytes));
    for (;;) {
        const std::unique_ptr<char[]> head = Scratch(length);
        if (!ReadFully(fd, head.get(), length, 0)) Fail(path, "the file cannot be read");
        if (auto start = ReadJpegHeaderStart(BytesOf(head.get(), length), size, path)) return *start;
        length = static_cast<std::size_t>(std::min<std::uint64_t>(size, std::uint64_t{length} * 4));
    }
}

// Looks for the end-of-image marker from the end backwards, a chunk at a time; each chunk
// overlaps the one after it by a byte so that a marker across the boundary is found.
bool HasEndMarker(int fd, std::uint64_t size, std::uint64_t from, const std::string& path) {
    const std::unique_ptr<char[]> chunk = Scratch(kTailChunkBytes + 1);
    std::uint64_t end = size;
    while (end > from) {
        const std::uint64_t begin = end - std::min<std::uint64_t>(end - from, kTailChunkBytes);
        const std::uint64_t stop = std::min<std::uint64_t>(size, end + 1);
        const auto count = static_cast<std::size_t>(stop - begin);
        if (!ReadFully(fd, chunk.get(), count, begin)) Fail(path, "the file cannot be read");
        if (HasJpegEndMarkerFrom(BytesOf(chunk.get(), count), 0)) return true;
        end = begin;
    }
    return false;
}

}  // namespace

TFileDescriptor OpenUnchangedJpegFile(const TJpegFileSource& source) {
    TFileDescriptor file(OpenForReading(source.Path.c_str()));
    if (!file.Valid()) Fail(source.Path, std::strerror(errno));
    const std::optional<TFileIdentity> now = IdentityOfOpenFile(file.Get());
    if (!now || !(*now == source.Identity)) Fail(source.Path, kChanged);
    return file;
}

void ThrowJpegFileChanged(const TJpegFileSource& source) { Fail(source.Path, kChanged); }

std::unique_ptr<TJpegImage> LoadJpegFile(const std::string& path) {
    const TFileDescriptor file(OpenForReading(path.c_str()));
    if (!file.Valid()) Fail(path, std::strerror(errno));
    struct stat status {};
    if (fstat(file.Get(), &status) != 0) Fail(path, std::strerror(errno));
    if (const std::string special = SpecialFileReason(status.st_mode); !special.empty()) Fail(path, special);
    const std::optional<TFileIdentity> identity = IdentityOfOpenFile(file.Get());
    if (!identity) Fail(path, std::strerror(errno));
    if (identity->Size > kMaxImageFileBytes)
        Fail(path, "the file is too large (" + std::to_string(identity->Size) + " bytes)");
    if (identity->Size <= 0) Fail(path, "the file is empty");

    const auto size = static_cast<std::uint64_t>(identity->Size);
    const TJpegHeaderStart start = ReadHead(file.Get(), size, path);
    if (!HasEndMarker(file.Get(), size, start.scanStart, path)) Fail(path, "the file is truncated (no end-of-image marker)");
    return std::make_unique<TJpegImage>(TJpegFileSource{path, *identity}, start.info);
}

void CopyJpegFile(const TJpegFileSource& source, std::span<char> buffer,
                  const std::function<void(const char*, std::size_t)>& sink) {
    const TFileDescriptor file = OpenUnchangedJpegFile(source);
    const int fd = file.Get();
    const auto size = static_cast<std::uint64_t>(source.Identity.Size);
    for (std::uint64_t done = 0; done < size;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - done));
        // A file cut short after the check is a changed file too.
        if (!ReadFully(fd, buffer.data(), count, done)) Fail(source.Path, kChanged);
        sink(buffer.data(), count);
        done += count;
    }
}

QByteArray ReadJpegFileBytes(const TJpegFileSource& source) {
    const TFileDescriptor file = OpenUnchangedJpegFile(source);
    const int fd = file.Get();
    QByteArray bytes(static_cast<qsizetype>(source.Identity.Size), Qt::Uninitialized);
    if (!ReadFully(fd, bytes.data(), static_cast<std::size_t>(bytes.size()), 0)) Fail(source.Path, kChanged);
    return bytes;
}

}  // namespace tovra
