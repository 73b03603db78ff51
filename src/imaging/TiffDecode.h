#pragma once
// A TIFF page as an image record, by the route its description chose.
#include <memory>
#include <optional>

#include "ImageRecord.h"
#include "TiffHandle.h"

namespace tovra {

// The record of the page the handle is on: CCITT data as it is (as a slice of the source file
// when one is given, else as bytes), or decoded samples with their palette, /Decode and soft
// mask. Throws DecodeError.
std::shared_ptr<const TImageRecord> DecodeTiffPage(const TTiffHandle& handle,
                                                   const std::optional<TRecordSource>& source);

}  // namespace tovra
