#pragma once
// Decoding a HEIF or AVIF file's primary image into an image record: upright (the file's
// rotation, mirroring and cropping applied), 8-bit RGB samples (Gray when every pixel is
// neutral), alpha as a soft mask, an ICC profile kept when it fits the samples. The samples are
// marked as a photo's.
#include <cstdint>
#include <memory>
#include <span>

#include "ImageRecord.h"

namespace tovra {

// Fails with a DecodeError.
std::shared_ptr<TImageRecord> DecodeHeifPrimary(std::span<const std::uint8_t> bytes);

}  // namespace tovra
