#pragma once
// PNG files as image records.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "RecordImage.h"

namespace tovra {

// Throws tovra::Exception naming the file when it cannot be read.
std::unique_ptr<TRecordImage> LoadPngFile(const std::string& path);

// The same for a PNG held in memory (name: used in messages). Data carried as it is is
// given as bytes, not as slices of a file.
std::unique_ptr<TRecordImage> DecodePngBytes(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace tovra
