#include "WebpReader.h"

#include "ImageErrors.h"

namespace tovra {

std::unique_ptr<TRecordImage> LoadWebpFile(const std::string& path) {
    ThrowImageError("WebP", path, "WebP pictures are not supported yet");
}

}  // namespace tovra
