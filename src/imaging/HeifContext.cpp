#include "HeifContext.h"

#include <climits>
#include <string>

#include "ImageErrors.h"

namespace tovra {

namespace {

// libheif refuses a picture (or a tile) with a side longer than this before it decodes
// anything; the pixel count is then checked against our own limits.
constexpr int kMaxHeifSide = 32768;

std::string Trimmed(const char* text) {
    std::string trimmed = text ? text : "";
    while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == ' ' || trimmed.back() == '.'))
        trimmed.pop_back();
    return trimmed;
}

}  // namespace

void CheckHeifResult(const heif_error& error) {
    if (error.code == heif_error_Ok) return;
    const std::string detail = " (" + Trimmed(error.message) + ")";
    if (error.subcode == heif_suberror_Security_limit_exceeded) throw DecodeError("the picture is too large" + detail);
    switch (error.code) {
        case heif_error_Memory_allocation_error: throw DecodeError("not enough memory to decode the picture" + detail);
        case heif_error_Unsupported_filetype:
        case heif_error_Unsupported_feature:
            throw DecodeError("the file uses a HEIF feature that is not supported" + detail);
        default: throw DecodeError("damaged HEIF data" + detail);
    }
}

THeifContext OpenHeif(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || bytes.size() > static_cast<std::size_t>(INT_MAX) ||
        heif_check_filetype(bytes.data(), static_cast<int>(bytes.size())) == heif_filetype_no)
        throw DecodeError("not a HEIF or AVIF file");
    THeifContext context(heif_context_alloc());
    if (!context) throw DecodeError("not enough memory to read the file");
    heif_context_set_maximum_image_size_limit(context.get(), kMaxHeifSide);
    CheckHeifResult(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr));
    return context;
}

THeifHandle PrimaryHeifImage(heif_context& context) {
    heif_image_handle* handle = nullptr;
    CheckHeifResult(heif_context_get_primary_image_handle(&context, &handle));
    THeifHandle owned(handle);
    if (!owned) throw DecodeError("the file holds no picture");
    return owned;
}

}  // namespace tovra
