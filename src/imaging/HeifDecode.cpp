#include "HeifDecode.h"

#include <string>

#include "HeifContext.h"
#include "IccProfileSpace.h"
#include "ImageErrors.h"
#include "InterleavedSamples.h"
#include "QuietStderr.h"

namespace tovra {

namespace {

// Memory a decode needs at its peak, in bytes a pixel: libheif's interleaved RGBA result and
// the samples and mask copied from it.
constexpr int kPeakBytesPerPixel = 8;

// The ICC profile (prof or rICC); an nclx description is not a profile and gives none.
std::string IccProfileOf(const heif_image_handle& handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(&handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) return {};
    std::string profile(heif_image_handle_get_raw_color_profile_size(&handle), '\0');
    if (profile.empty()) return {};
    if (heif_image_handle_get_raw_color_profile(&handle, profile.data()).code != heif_error_Ok) return {};
    return profile;
}

THeifImage DecodeUpright(const heif_image_handle& handle, bool alpha) {
    THeifDecodingOptions options(heif_decoding_options_alloc());
    if (!options) throw DecodeError("not enough memory to decode the picture");
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 1;
    heif_image* image = nullptr;
    {
        // The codecs (libde265, dav1d) print their complaints about damaged data.
        const TQuietStderr quiet;
        CheckHeifResult(heif_decode_image(&handle, &image, heif_colorspace_RGB,
                                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                          options.get()));
    }
    THeifImage owned(image);
    if (!owned) throw DecodeError("the picture cannot be decoded");
    return owned;
}

}  // namespace

std::shared_ptr<TImageRecord> DecodeHeifPrimary(std::span<const std::uint8_t> bytes) {
    const THeifContext context = OpenHeif(bytes);
    const THeifHandle handle = PrimaryHeifImage(*context);
    CheckDecodedSize(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()),
                     kPeakBytesPerPixel);
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const THeifImage image = DecodeUpright(*handle, alpha);

    int stride = 0;
    const std::uint8_t* pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!pixels || heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8)
        throw DecodeError("the picture cannot be decoded to 8-bit samples");
    CheckDecodedSize(width, height, kPeakBytesPerPixel);
    if (stride < width * (alpha ? 4 : 3)) throw DecodeError("the picture cannot be decoded to 8-bit samples");

    const std::string profile = IccProfileOf(*handle);
    TSamplesChoice choice;
    choice.GrayWhenNeutral = profile.empty() || IccProfileFits(profile, TColorModel::Gray);
    const bool premultiplied = heif_image_is_premultiplied_alpha(image.get()) != 0;
    auto record = RecordFromInterleaved({pixels, stride, width, height, alpha, premultiplied}, choice);
    if (IccProfileFits(profile, record->Color)) record->IccProfile = profile;
    record->PhotoSamples = true;
    return record;
}

}  // namespace tovra
