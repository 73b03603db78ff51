#pragma once
// HEIF files as image records.
#include <memory>
#include <string>

#include "RecordImage.h"

namespace tovra {

// Throws tovra::Exception naming the file when it cannot be read.
std::unique_ptr<TRecordImage> LoadHeifFile(const std::string& path);

}  // namespace tovra
