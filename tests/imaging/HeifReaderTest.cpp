// The HEIF reader against HEIC and AVIF files written with libheif's encoders from pictures
// with known pixels: the primary image comes out upright (irot/imir applied), close to its
// source, with its alpha as a soft mask and its ICC profile; damaged files are refused naming
// them, without codec noise on the terminal.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include <QColorSpace>
#include <QTransform>
#include <libheif/heif.h>

#include "DecodedPictureChecks.h"
#include "HeifReader.h"
#include "TestSupport.h"

namespace tovra::test {
namespace {

struct HeifCase {
    const char* file;
    bool alpha = false;
    bool neutral = false;        // grey levels, encoded as a monochrome picture
    int orientation = 1;         // as in EXIF, written as irot/imir
    bool profile = false;        // an sRGB ICC profile embedded
    int bits = 8;                // more: a deep picture
    bool decoyFirst = false;     // another top-level picture first, and a thumbnail
    bool premultiplied = false;  // colour stored multiplied by alpha
    TColorModel color = TColorModel::RGB;
};

const HeifCase kCases[] = {
    {.file = "photo.heic"},
    {.file = "alpha.heic", .alpha = true},
    {.file = "turned.heic", .orientation = 6},
    {.file = "upside-down.avif", .alpha = true, .orientation = 3},
    {.file = "transposed.avif", .orientation = 5},
    {.file = "turned-left.heic", .orientation = 8},
    {.file = "profile.heic", .profile = true},
    {.file = "grey-profile.avif", .neutral = true, .profile = true},
    {.file = "grey.avif", .neutral = true, .color = TColorModel::Gray},
    {.file = "deep-grey.avif", .neutral = true, .bits = 12, .color = TColorModel::Gray},
    {.file = "deep-alpha.heic", .alpha = true, .orientation = 6, .bits = 10},
    {.file = "second-primary.heic", .decoyFirst = true},
    {.file = "premultiplied.avif", .alpha = true, .premultiplied = true},
};

// The stored picture as it is meant to be seen (EXIF orientation semantics).
QImage Upright(const QImage& stored, int orientation) {
    const QImage turned = stored.transformed(QTransform().rotate(90));
    switch (orientation) {
        case 3: return stored.mirrored(true, true);
        case 5: return turned.mirrored(true, false);
        case 6: return turned;
        case 8: return stored.transformed(QTransform().rotate(270));
        default: return stored;
    }
}

template <auto Free>
struct Freer {
    template <typename T>
    void operator()(T* object) const { Free(object); }
};
using HeifImagePtr = std::unique_ptr<heif_image, Freer<heif_image_release>>;

HeifImagePtr HeifPicture(const QImage& source, const HeifCase& c) {
    const bool deep = c.bits > 8;
    const int channels = c.neutral ? 1 : c.alpha ? 4 : 3;
    const heif_chroma chroma = c.neutral ? heif_chroma_monochrome
                               : deep    ? (c.alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                         : (c.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    heif_image* image = nullptr;
    heif_image_create(source.width(), source.height(), c.neutral ? heif_colorspace_monochrome : heif_colorspace_RGB,
                      chroma, &image);
    const heif_channel channel = c.neutral ? heif_channel_Y : heif_channel_interleaved;
    heif_image_add_plane(image, channel, source.width(), source.height(), c.bits);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, channel, &stride);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = source.pixel(x, y);
            const int values[4] = {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
            for (int i = 0; i < channels; ++i) {
                const int v = c.premultiplied && i < 3 ? (values[i] * qAlpha(p) + 127) / 255 : values[i];
                std::uint8_t* at = plane + y * stride + (x * channels + i) * (deep ? 2 : 1);
                const int stored = deep ? v * ((1 << c.bits) - 1) / 255 : v;
                at[0] = static_cast<std::uint8_t>(stored);
                if (deep) at[1] = static_cast<std::uint8_t>(stored >> 8);
            }
        }
    heif_image_set_premultiplied_alpha(image, c.premultiplied);
    return HeifImagePtr(image);
}

heif_error Append(heif_context*, const void* data, size_t size, void* out) {
    static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
    return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

// The file's bytes, or "" when libheif has no encoder for the format.
std::string EncodeHeif(const QImage& source, const HeifCase& c, const QByteArray& profile) {
    const std::unique_ptr<heif_context, Freer<heif_context_free>> context(heif_context_alloc());
    heif_encoder* encoder = nullptr;
    const bool avif = std::string(c.file).ends_with(".avif");
    if (heif_context_get_encoder_for_format(context.get(), avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder)
            .code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_encoder, Freer<heif_encoder_release>> owned(encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    if (c.decoyFirst)
        heif_context_encode_image(context.get(), HeifPicture(GradientPicture(40, 40, false), {}).get(), encoder, nullptr, nullptr);
    const HeifImagePtr picture = HeifPicture(source, c);
    if (c.profile) heif_image_set_raw_color_profile(picture.get(), "prof", profile.constData(), profile.size());
    const std::unique_ptr<heif_encoding_options, Freer<heif_encoding_options_free>> options(heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(c.orientation);
    heif_image_handle* handle = nullptr;
    EXPECT_EQ(heif_context_encode_image(context.get(), picture.get(), encoder, options.get(), &handle).code, heif_error_Ok);
    const std::unique_ptr<heif_image_handle, Freer<heif_image_handle_release>> ownedHandle(handle);
    if (c.decoyFirst) {
        heif_context_encode_thumbnail(context.get(), picture.get(), handle, encoder, nullptr, 16, nullptr);
        heif_context_set_primary_image(context.get(), handle);
    }
    std::string bytes;
    heif_writer writer{1, Append};
    EXPECT_EQ(heif_context_write(context.get(), &writer, &bytes).code, heif_error_Ok);
    return bytes;
}

TEST(HeifReader, DecodesThePrimaryImageUpright) {
    const TempDir dir;
    const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
    for (const HeifCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const QImage source = GradientPicture(64, 48, c.alpha, c.neutral);
        const std::string bytes = EncodeHeif(source, c, srgb);
        if (bytes.empty()) {
            std::cout << "[ SKIPPED  ] " << c.file << ": libheif has no encoder for it\n";
            continue;
        }
        WriteFileBytes(dir / c.file, bytes);
        const auto picture = LoadHeifFile((dir / c.file).string());
        const TImageRecord& record = picture->Record();
        const QImage expected = Upright(source, c.orientation);
        EXPECT_EQ(QSize(record.Width, record.Height), expected.size());
        EXPECT_EQ(record.Orientation, 1);
        EXPECT_EQ(record.Color, c.color);
        EXPECT_EQ(record.BitsPerComponent, 8);
        EXPECT_TRUE(record.PhotoSamples);
        EXPECT_EQ(record.SoftMask != nullptr, c.alpha);
        // An nclx description (what the AVIF encoder writes without a profile) is no profile.
        EXPECT_EQ(record.IccProfile, c.profile ? srgb.toStdString() : std::string());
        EXPECT_LT(MeanDelta(SamplesToImage(record, 0), expected), 3.0);
        EXPECT_EQ(picture->ScreenImage(16).size(), expected.size().scaled(16, 16, Qt::KeepAspectRatio));
    }
}

TEST(HeifReader, RefusesDamagedFilesWithoutCodecNoise) {
    for (const HeifCase& c : {kCases[1], kCases[3]}) {
        SCOPED_TRACE(c.file);
        const std::string good = EncodeHeif(GradientPicture(64, 48, c.alpha), c, {});
        if (good.empty()) continue;
        const std::string extension = std::filesystem::path(c.file).extension().string();
        EXPECT_GE(CheckDamagedCopies(good, "HEIF", extension, [](const std::string& path) { LoadHeifFile(path); }), 5);
    }
}

}  // namespace
}  // namespace tovra::test
