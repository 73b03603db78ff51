#include "TiffReader.h"

#include "ImageErrors.h"

namespace tovra {

int CountTiffPages(const std::string&) { return 1; }

std::unique_ptr<TRecordImage> LoadTiffFile(const std::string& path, int) {
    ThrowImageError("TIFF", path, "TIFF pictures are not supported yet");
}

}  // namespace tovra
