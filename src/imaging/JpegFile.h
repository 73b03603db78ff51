#pragma once
// JPEG pictures that stay in their file: loading reads the header and looks for the end
// marker from the end, without reading the compressed data in between. The bytes are read
// when they are needed (to decode the preview, or by the PDF writer when the document is
// written), and only if the file is still the one that was loaded.
#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include <QByteArray>

#include "FileIdentity.h"

namespace tovra {

// The file a JPEG picture was loaded from, as it was then.
struct TJpegFileSource {
    std::string Path;
    TFileIdentity Identity;
};

// Hands the file's bytes to `sink` in pieces, in order, through the buffer. Fails with
// "Cannot read JPEG file "<path>": ..." when the file cannot be read or is no longer the file
// that was loaded (another size, time or inode).
void CopyJpegFile(const TJpegFileSource& source, std::span<char> buffer,
                  const std::function<void(const char*, std::size_t)>& sink);

// The file opened for reading, under the same check.
TFileDescriptor OpenUnchangedJpegFile(const TJpegFileSource& source);
// Fails as for a file that has changed since it was loaded (for a file that ends too early).
[[noreturn]] void ThrowJpegFileChanged(const TJpegFileSource& source);

// The whole file, under the same check.
QByteArray ReadJpegFileBytes(const TJpegFileSource& source);

}  // namespace tovra
