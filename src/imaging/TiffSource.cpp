#include "TiffSource.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "FileBytes.h"
#include "ImageErrors.h"
#include "ImageLimits.h"

namespace tovra {

TTiffSource TTiffSource::FromMemory(std::span<const std::uint8_t> bytes) {
    TTiffSource source;
    source.memory_ = bytes;
    source.size_ = bytes.size();
    return source;
}

TTiffSource TTiffSource::FromFile(const std::string& path) {
    auto file = std::make_shared<TFileDescriptor>(OpenForReading(path.c_str()));
    if (!file->Valid()) throw DecodeError(std::strerror(errno));
    struct stat info {};
    if (fstat(file->Get(), &info) != 0) throw DecodeError(std::strerror(errno));
    if (const std::string special = SpecialFileReason(info.st_mode); !special.empty()) throw DecodeError(special);
    if (info.st_size > kMaxImageFileBytes)
        throw DecodeError("the file is too large (" + std::to_string(info.st_size) + " bytes)");
    TTiffSource source;
    source.identity_ = IdentityOfOpenFile(file->Get());
    source.size_ = static_cast<std::uint64_t>(info.st_size);
    source.file_ = std::move(file);
    return source;
}

bool TTiffSource::Read(void* out, std::size_t count, std::uint64_t offset) const {
    if (offset > size_ || count > size_ - offset) return false;
    if (!file_) {
        if (count) std::memcpy(out, memory_.data() + offset, count);
        return true;
    }
    return ReadFully(file_->Get(), out, count, offset);
}

}  // namespace tovra
