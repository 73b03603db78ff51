#pragma once
// TIFF files as image records, one per page (IFD).
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include <QImage>

#include "RecordImage.h"

namespace tovra {

// The number of pages, at least 1; a file that cannot be read counts as one page.
int CountTiffPages(const std::string& path);
// Page `page` (0-based). Throws tovra::Exception naming the file when it cannot be read.
std::unique_ptr<TRecordImage> LoadTiffFile(const std::string& path, int page);

// The same from bytes in memory (name: used in messages). Records made this way hold their
// CCITT data as bytes, not as slices of a file.
int CountTiffPages(std::span<const std::uint8_t> bytes);
std::shared_ptr<const TImageRecord> DecodeTiff(std::span<const std::uint8_t> bytes, const std::string& name, int page);
// The page as screen pixels (see TScreenDecoder).
QImage DecodeTiffScreen(std::span<const std::uint8_t> bytes, const std::string& name, int page, int maxSide);

}  // namespace tovra
