#pragma once
// TIFF files as image records, one per page (IFD).
#include <memory>
#include <string>

#include "RecordImage.h"

namespace tovra {

// The number of pages, at least 1; a file that cannot be read counts as one page.
int CountTiffPages(const std::string& path);
// Page `page` (0-based). Throws tovra::Exception naming the file when it cannot be read.
std::unique_ptr<TRecordImage> LoadTiffFile(const std::string& path, int page);

}  // namespace tovra
