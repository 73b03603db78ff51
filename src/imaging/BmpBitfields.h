#pragma once
// One colour channel of a bit-field pixel (16, 32 bits per pixel): where its bits are
// and how its values widen to 8 bits. Values are scaled exactly, value * 255 / max
// rounded, so a channel's maximum is 255 however many bits it has (shifting would give
// 248 for five bits, and wrong colours for channels wider than eight).
#include <cstdint>
#include <vector>

namespace tovra {

class BmpChannel {
public:
    BmpChannel() = default;
    // mask must be zero (channel absent) or one run of contiguous bits.
    explicit BmpChannel(std::uint32_t mask);

    std::uint32_t Mask() const { return mask_; }
    bool Present() const { return mask_ != 0; }
    int Bits() const { return bits_; }

    // The channel of a raw pixel value, widened to 0..255 (0 when the channel is absent).
    std::uint8_t Extract(std::uint64_t pixel) const {
        if (!mask_) return 0;
        const std::uint32_t value = static_cast<std::uint32_t>((pixel & mask_) >> shift_);
        if (!table_.empty()) return table_[value];
        return Scale(value);
    }

    // True when the mask is one run of set bits (or zero).
    static bool Contiguous(std::uint32_t mask);

private:
    std::uint8_t Scale(std::uint32_t value) const {
        const std::uint64_t max = (std::uint64_t{1} << bits_) - 1;
        return static_cast<std::uint8_t>((value * std::uint64_t{255} + max / 2) / max);
    }

    std::uint32_t mask_ = 0;
    int shift_ = 0;
    int bits_ = 0;
    std::vector<std::uint8_t> table_;  // precomputed for channels of up to 16 bits
};

}  // namespace tovra
