#pragma once
// HEIF files (HEIC and AVIF) as image records: the primary image, upright, as 8-bit samples
// of a photo (see HeifDecode.h).
#include <memory>
#include <string>

#include <QByteArray>

#include "RecordImage.h"

namespace tovra {

// Throws tovra::Exception naming the file when it cannot be read.
std::unique_ptr<TRecordImage> LoadHeifFile(const std::string& path);

// The same from a file's bytes; name is the file name used in messages.
std::unique_ptr<TRecordImage> DecodeHeif(const QByteArray& bytes, const std::string& name);

}  // namespace tovra
