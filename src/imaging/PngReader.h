#pragma once
// PNG files as image records.
#include <memory>
#include <string>

#include "RecordImage.h"

namespace tovra {

// Throws tovra::Exception naming the file when it cannot be read.
std::unique_ptr<TRecordImage> LoadPngFile(const std::string& path);

}  // namespace tovra
