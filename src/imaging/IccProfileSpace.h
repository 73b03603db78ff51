#pragma once
// Whether an embedded ICC profile describes samples of a given colour model: the profile's
// header names its data colour space at byte 16 (ICC.1, 7.2.6). A profile for another space,
// or too short to hold a header, is not used.
#include <string_view>

#include "ImageRecord.h"

namespace tovra {

inline bool IccProfileFits(std::string_view profile, TColorModel model) {
    constexpr std::size_t kHeaderBytes = 128;
    if (profile.size() < kHeaderBytes) return false;
    const std::string_view space = profile.substr(16, 4);
    switch (model) {
        case TColorModel::Gray: return space == "GRAY";
        case TColorModel::RGB: return space == "RGB ";
        case TColorModel::CMYK: return space == "CMYK";
        default: return false;
    }
}

}  // namespace tovra
