#include "PngReader.h"

#include "ImageErrors.h"

namespace tovra {

std::unique_ptr<TRecordImage> LoadPngFile(const std::string& path) {
    ThrowImageError("PNG", path, "PNG pictures are not supported yet");
}

}  // namespace tovra
