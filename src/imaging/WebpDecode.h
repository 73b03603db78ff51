#pragma once
// Decoding WebP pictures into image records: 8-bit RGB samples, with the alpha channel as a
// soft mask when some pixel is not opaque.
#include <cstdint>
#include <memory>
#include <span>

#include "ImageRecord.h"
#include "WebpContainer.h"

namespace tovra {

// A still picture (lossy or lossless). Fails with a DecodeError.
std::shared_ptr<TImageRecord> DecodeWebpStill(std::span<const std::uint8_t> bytes);

// The first frame of an animation as the canvas shows it: drawn at its place on a transparent
// canvas of the animation's size. Fails with a DecodeError.
std::shared_ptr<TImageRecord> DecodeWebpFirstFrame(std::span<const std::uint8_t> bytes, const TWebpLayout& layout);

}  // namespace tovra
