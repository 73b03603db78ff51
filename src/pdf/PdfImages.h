#pragma once
// Image XObjects made from pictures (ISO 32000, section 8.9). Image creators are looked
// up by name in the class registry: "Pdf-Bitmap" turns a bitmap into Flate-compressed
// 8-bit pixels, "Pdf-Jpeg" (PdfJpegImage.h) embeds a JPEG file's bytes unchanged,
// "Pdf-Record" (PdfRecordImage.h) writes an image record.
#include <functional>
#include <memory>
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/Picture.h"
#include "pdf/ClassRegistry.h"
#include "pdf/PdfRecordXObject.h"
#include "pdf/PdfTypes.h"

namespace tovra {

// Base of the image creators. Creators hold no state; one lives for one CreatePdfImage call.
class TPdfImageCreator {
public:
    virtual ~TPdfImageCreator() = default;
    // A new image XObject, not yet registered with a document. The base makes none.
    virtual std::unique_ptr<TPdfImage> CreateImage(const TPicture& picture);
    // The same for a document that asks for something of its images; the base ignores it.
    virtual std::unique_ptr<TPdfImage> CreateImageFor(const TPicture& picture, const TPdfImageOptions& options);
    // [/Indexed /DeviceRGB 255 <colour table>] for an 8-bit palette bitmap: the table has
    // 256 entries, the bitmap's own colours first, the rest black.
    std::unique_ptr<TPdfArray> CreateIndexedColorSpace(const TBitmap& bitmap);
};

// Bitmaps: palette pictures of up to 8 bits per pixel become /Indexed images with one
// byte per pixel (1-, 2- and 4-bit pictures widened without changing a colour), all
// others /DeviceRGB images with three bytes per pixel; pixels with alpha are laid on
// white first.
class TPdfBitmapImage : public TPdfImageCreator {
public:
    std::unique_ptr<TPdfImage> CreateImage(const TPicture& picture) override;
};

using TPdfImageCreatorFactory = std::function<std::unique_ptr<TPdfImageCreator>()>;
using TImageCreatorRegistry = TClassRegistry<TPdfImageCreatorFactory>;

// Makes an image XObject from the picture with the creator registered under the name.
// The caller owns the result until it hands it to the document (TPdfDoc::AddImage).
std::unique_ptr<TPdfImage> CreatePdfImage(const TPicture& picture, const std::string& creatorName,
                                          const TPdfImageOptions& options = {});

// Enter "Pdf-Bitmap", "Pdf-Jpeg" and "Pdf-Record" in the class registry, and remove them again.
void RegisterImageCreators();
void UnregisterImageCreators();

}  // namespace tovra
