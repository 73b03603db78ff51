#pragma once
// Reading a whole image file into memory, with messages that name the file.
#include <string>

#include <QByteArray>

namespace tovra {

// The file's bytes. Throws tovra::Exception ("Cannot read <kind> file "<path>": ...")
// when the file cannot be opened or read, or is larger than kMaxImageFileBytes.
QByteArray ReadImageFileBytes(const std::string& path, const std::string& kind);

}  // namespace tovra
