#include "BmpBitfields.h"

#include <bit>

namespace tovra {

BmpChannel::BmpChannel(std::uint32_t mask) : mask_(mask) {
    if (!mask_) return;
    shift_ = std::countr_zero(mask_);
    bits_ = std::popcount(mask_);
    if (bits_ <= 16) {
        const std::uint32_t count = std::uint32_t{1} << bits_;
        table_.resize(count);
        for (std::uint32_t v = 0; v < count; ++v) table_[v] = Scale(v);
    }
}

bool BmpChannel::Contiguous(std::uint32_t mask) {
    if (!mask) return true;
    const std::uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

}  // namespace tovra
