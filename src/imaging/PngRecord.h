#pragma once
// A PNG file described as an image record: its own zlib data carried as it is where a PDF
// can take it (Flate with the PNG predictor), else decoded samples; transparency as a soft
// mask or a colour key; its colour profile when it fits the picture.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "ImageRecord.h"

namespace tovra {

// The record of a whole PNG file held in memory. With a source, data carried as it is is
// given as slices of that file (whose bytes `file` must be); without one, as bytes. Fails
// with a DecodeError naming the problem; everything carried as it is has been checked first.
std::shared_ptr<const TImageRecord> MakePngRecord(std::span<const std::uint8_t> file,
                                                  const std::optional<TRecordSource>& source);

}  // namespace tovra
