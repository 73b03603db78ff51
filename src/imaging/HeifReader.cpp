#include "HeifReader.h"

#include "ImageErrors.h"

namespace tovra {

std::unique_ptr<TRecordImage> LoadHeifFile(const std::string& path) {
    ThrowImageError("HEIF", path, "HEIF pictures are not supported yet");
}

}  // namespace tovra
