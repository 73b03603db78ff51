#include "FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "ImageErrors.h"
#include "ImageLimits.h"

namespace tovra {

QByteArray ReadImageFileBytes(const std::string& path, const std::string& kind) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) ThrowImageError(kind, path, std::strerror(errno));
    const std::streamoff size = in.tellg();
    if (size < 0) ThrowImageError(kind, path, "the file cannot be read");
    if (size > kMaxImageFileBytes)
        ThrowImageError(kind, path, "the file is too large (" + std::to_string(size) + " bytes)");
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    in.seekg(0);
    if (size > 0 && !in.read(bytes.data(), size)) ThrowImageError(kind, path, "the file cannot be read");
    return bytes;
}

}  // namespace tovra
