#pragma once
// libheif objects held by RAII handles, and its errors turned into our reasons. Opening a file
// reads its boxes only; no pixels are decoded yet.
#include <cstdint>
#include <memory>
#include <span>

#include <libheif/heif.h>

namespace tovra {

struct THeifDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
    void operator()(const heif_image* image) const { heif_image_release(image); }
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using THeifContext = std::unique_ptr<heif_context, THeifDeleter>;
using THeifHandle = std::unique_ptr<heif_image_handle, THeifDeleter>;
using THeifImage = std::unique_ptr<heif_image, THeifDeleter>;
using THeifDecodingOptions = std::unique_ptr<heif_decoding_options, THeifDeleter>;

// Fails with a DecodeError giving libheif's reason unless the call succeeded.
void CheckHeifResult(const heif_error& error);

// The file's boxes, read from the bytes, which must outlive the context (they are not copied).
// Fails with a DecodeError for anything that is not a readable HEIF or AVIF file.
THeifContext OpenHeif(std::span<const std::uint8_t> bytes);

// The primary image: the picture the file is meant to show.
THeifHandle PrimaryHeifImage(heif_context& context);

}  // namespace tovra
