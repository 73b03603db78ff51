#pragma once
// WebP files as image records: the picture (an animation's first frame) decoded into 8-bit
// RGB samples, the alpha channel as a soft mask, an RGB ICC profile kept.
#include <memory>
#include <string>

#include <QByteArray>

#include "RecordImage.h"

namespace tovra {

// Throws tovra::Exception naming the file when it cannot be read.
std::unique_ptr<TRecordImage> LoadWebpFile(const std::string& path);

// The same from a file's bytes; name is the file name used in messages.
std::unique_ptr<TRecordImage> DecodeWebp(QByteArray bytes, const std::string& name);

}  // namespace tovra
