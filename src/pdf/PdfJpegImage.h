#pragma once
// JPEG pictures as image XObjects: the file's compressed bytes go into the stream
// unchanged under /DCTDecode, so the PDF carries exactly the JPEG that was loaded.
#include <memory>

#include "pdf/PdfImages.h"

namespace tovra {

// The colour space follows the JPEG's components: 1 /DeviceGray, 3 /DeviceRGB,
// 4 /DeviceCMYK; CMYK data written by Adobe software (APP14 marker) is stored
// inverted, which /Decode [1 0 1 0 1 0 1 0] undoes.
class TPdfJpegImage : public TPdfImageCreator {
public:
    std::unique_ptr<TPdfImage> CreateImage(const TPicture& picture) override;
};

}  // namespace tovra
