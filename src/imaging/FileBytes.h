#pragma once
// Reading a whole image file into memory, with messages that name the file.
#include <sys/types.h>

#include <string>

#include <QByteArray>

#include "FileIdentity.h"

namespace tovra {

// The file's bytes. Throws tovra::Exception ("Cannot read <kind> file "<path>": ...")
// when the file cannot be opened or read, is larger than kMaxImageFileBytes, or is not a
// regular file (a pipe, device, socket or folder is refused without waiting on it).
// With `identity`, also gives the identity of the file the bytes were read from.
QByteArray ReadImageFileBytes(const std::string& path, const std::string& kind, TFileIdentity* identity = nullptr);

// Why a file of this mode cannot be read as a picture, or "" for a regular file.
std::string SpecialFileReason(mode_t mode);

}  // namespace tovra
