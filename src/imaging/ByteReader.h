#pragma once
// Bounds-checked little-endian reading from a byte buffer: every read past the end
// raises a DecodeError, so decoders never touch memory outside the file's bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "ImageErrors.h"

namespace tovra {

class ByteReader {
public:
    // base: where the bytes start in the file, so that messages speak of file offsets.
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t base = 0) : bytes_(bytes), base_(base) {}

    std::size_t Size() const { return bytes_.size(); }
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }

    void Seek(std::size_t position) {
        if (position > bytes_.size()) Fail(position);
        pos_ = position;
    }
    void Skip(std::size_t count) {
        if (count > Remaining()) Fail(pos_ + count);
        pos_ += count;
    }

    std::uint8_t U8() {
        if (pos_ >= bytes_.size()) Fail(pos_ + 1);
        return bytes_[pos_++];
    }
    std::uint16_t U16() {
        const std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t lo = U16();
        return lo | (static_cast<std::uint32_t>(U16()) << 16);
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

    // The next count bytes, consumed.
    std::span<const std::uint8_t> Take(std::size_t count) {
        if (count > Remaining()) Fail(pos_ + count);
        auto part = bytes_.subspan(pos_, count);
        pos_ += count;
        return part;
    }

private:
    [[noreturn]] void Fail(std::size_t wanted) const {
        throw DecodeError("the file is truncated (" + std::to_string(base_ + bytes_.size()) + " bytes; at least " +
                          std::to_string(base_ + wanted) + " needed)");
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t base_ = 0;
    std::size_t pos_ = 0;
};

}  // namespace tovra
