#include "pdf/PdfRecordImage.h"

#include "common/Exceptions.h"
#include "imaging/ImageFormats.h"
#include "imaging/RecordImage.h"
#include "pdf/PdfRecordXObject.h"

namespace tovra {

namespace {

// The kind the file is, as messages name it ("PNG"), from the kind table.
std::string KindNameOf(const TImageRecord& record) {
    if (!record.Source) return "image";
    const std::string& path = record.Source->Path;
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "image";
    const TImageFormat* format = FormatOfKind(ImageKindOf(std::string_view(path).substr(dot)));
    return format ? std::string(format->Name) : "image";
}

}  // namespace

std::unique_ptr<TPdfImage> TPdfRecordImage::CreateImage(const TPicture& picture) {
    return CreateImageFor(picture, TPdfImageOptions{});
}

std::unique_ptr<TPdfImage> TPdfRecordImage::CreateImageFor(const TPicture& picture, const TPdfImageOptions& options) {
    const TRecordImage* graphic = picture.Record();
    if (!graphic) throw EPdfInvalidValue("only record image is allowed.");
    const TImageRecord& record = graphic->Record();
    try {
        return MakeRecordImage(record, options, KindNameOf(record));
    } catch (const EPdfInvalidValue& refused) {
        throw EPdfInvalidValue("\"" + graphic->FileName() + "\": " + refused.what());
    }
}

}  // namespace tovra
