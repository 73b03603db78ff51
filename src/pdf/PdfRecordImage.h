#pragma once
// Pictures held as image records (PNG, TIFF, WebP, HEIF: imaging/RecordImage.h) as image
// XObjects, registered as "Pdf-Record". The record says how the image object holds the
// picture; MakeRecordImage (PdfRecordXObject.h) writes it down.
#include <memory>

#include "pdf/PdfImages.h"

namespace tovra {

class TPdfRecordImage : public TPdfImageCreator {
public:
    // Fails with "only record image is allowed." for any other picture, and with a message
    // naming the file when its record cannot be written.
    std::unique_ptr<TPdfImage> CreateImage(const TPicture& picture) override;
    std::unique_ptr<TPdfImage> CreateImageFor(const TPicture& picture, const TPdfImageOptions& options) override;
};

}  // namespace tovra
