#pragma once
// The bytes of a TIFF file, read at any offset: from memory (fuzzing, tests) or from an open
// regular file, read as needed so that a many-page file is never held whole in memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "FileIdentity.h"

namespace tovra {

class TTiffSource {
public:
    // Bytes held elsewhere that outlive the source.
    static TTiffSource FromMemory(std::span<const std::uint8_t> bytes);
    // An open regular file. Throws DecodeError when it cannot be opened, is not a regular file
    // (pipes, devices and folders are refused without waiting on them) or is too large.
    static TTiffSource FromFile(const std::string& path);

    std::uint64_t Size() const { return size_; }
    // Reads exactly count bytes at offset; false when they are not all in the file.
    bool Read(void* out, std::size_t count, std::uint64_t offset) const;
    // The file's identity when the source is a file.
    const std::optional<TFileIdentity>& Identity() const { return identity_; }

private:
    TTiffSource() = default;

    std::span<const std::uint8_t> memory_;
    std::shared_ptr<TFileDescriptor> file_;
    std::uint64_t size_ = 0;
    std::optional<TFileIdentity> identity_;
};

}  // namespace tovra
