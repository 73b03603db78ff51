#pragma once
// The RIFF container of a WebP file, checked before anything is decoded: a complete file
// (no chunk cut off), its canvas size, whether it is an animation, and its colour profile.
#include <cstdint>
#include <span>
#include <string>

namespace tovra {

struct TWebpLayout {
    int Width = 0;  // the canvas: the picture, or the area an animation's frames are drawn on
    int Height = 0;
    bool Animated = false;
    std::string IccProfile;  // the ICCP chunk when it describes RGB samples, else empty
};

// Fails with a DecodeError saying what is wrong with the container.
TWebpLayout ReadWebpLayout(std::span<const std::uint8_t> bytes);

// The reason for a libwebp status code, as the end of a message.
std::string WebpStatusReason(int status);

}  // namespace tovra
