// The HEIF reader against HEIC and AVIF files written with libheif's encoders from pictures
// with known pixels: the primary image comes out upright (irot/imir applied), close to its
// source, with its alpha as a soft mask and its ICC profile; damaged files are refused
// naming them, without codec noise on the terminal.
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
    bool alpha;
    bool neutral;        // grey levels only, encoded as a monochrome picture
    int orientation;     // 1..8 as in EXIF, written as irot/imir
    bool rgbProfile;     // an sRGB ICC profile embedded
    int bitDepth;        // 8, or 10 for a deep picture
    bool decoyFirst;     // another top-level picture, then the primary with a thumbnail
    bool premultiplied;  // alpha stored premultiplied
    TColorModel color;   // the samples expected
};

const HeifCase kCases[] = {
    {"photo.heic", false, false, 1, false, 8, false, false, TColorModel::RGB},
    {"alpha.heic", true, false, 1, false, 8, false, false, TColorModel::RGB},
    {"turned.heic", false, false, 6, false, 8, false, false, TColorModel::RGB},
    {"upside-down.avif", true, false, 3, false, 8, false, false, TColorModel::RGB},
    {"transposed.avif", false, false, 5, false, 8, false, false, TColorModel::RGB},
    {"turned-left.heic", false, false, 8, false, 8, false, false, TColorModel::RGB},
    {"profile.heic", false, false, 1, true, 8, false, false, TColorModel::RGB},
    {"grey-profile.avif", false, true, 1, true, 8, false, false, TColorModel::RGB},
    {"grey.avif", false, true, 1, false, 8, false, false, TColorModel::Gray},
    {"deep.heic", false, false, 1, false, 10, false, false, TColorModel::RGB},
    {"deep-alpha.heic", true, false, 6, false, 10, false, false, TColorModel::RGB},
    {"second-primary.heic", false, false, 1, false, 8, true, false, TColorModel::RGB},
    {"premultiplied.avif", true, false, 1, false, 8, false, true, TColorModel::RGB},
};

bool IsAvif(const HeifCase& c) { return std::string(c.file).ends_with(".avif"); }

// The stored picture as it is meant to be seen (EXIF orientation semantics).
QImage Upright(const QImage& stored, int orientation) {
    const QImage turned = stored.transformed(QTransform().rotate(90));
    switch (orientation) {
        case 2: return stored.mirrored(true, false);
        case 3: return stored.mirrored(true, true);
        case 4: return stored.mirrored(false, true);
        case 5: return turned.mirrored(true, false);
        case 6: return turned;
        case 7: return turned.mirrored(false, true);
        case 8: return stored.transformed(QTransform().rotate(270));
        default: return stored;
    }
}

struct HeifFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
    void operator()(heif_image* i) const { heif_image_release(i); }
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
    void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); }
};

std::unique_ptr<heif_image, HeifFree> HeifPicture(const QImage& source, const HeifCase& c, const QByteArray& profile) {
    const bool deep = c.bitDepth > 8;
    const heif_chroma chroma = c.neutral ? heif_chroma_monochrome
                               : deep    ? (c.alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                         : (c.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    heif_image* raw = nullptr;
    heif_image_create(source.width(), source.height(), c.neutral ? heif_colorspace_monochrome : heif_colorspace_RGB,
                      chroma, &raw);
    std::unique_ptr<heif_image, HeifFree> image(raw);
    const heif_channel channel = c.neutral ? heif_channel_Y : heif_channel_interleaved;
    heif_image_add_plane(raw, channel, source.width(), source.height(), c.bitDepth);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(raw, channel, &stride);
    const int channels = c.neutral ? 1 : c.alpha ? 4 : 3;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = source.pixel(x, y);
            const int a = qAlpha(p);
            const int values[4] = {qRed(p), qGreen(p), qBlue(p), a};
            for (int i = 0; i < channels; ++i) {
                const int v = c.premultiplied && i < 3 ? (values[i] * a + 127) / 255 : values[i];
                std::uint8_t* at = plane + y * stride + (x * channels + i) * (deep ? 2 : 1);
                if (deep) {
                    const int v10 = v * 1023 / 255;
                    at[0] = static_cast<std::uint8_t>(v10);
                    at[1] = static_cast<std::uint8_t>(v10 >> 8);
                } else {
                    at[0] = static_cast<std::uint8_t>(v);
                }
            }
        }
    if (!profile.isEmpty()) heif_image_set_raw_color_profile(raw, "prof", profile.constData(), profile.size());
    if (c.premultiplied) heif_image_set_premultiplied_alpha(raw, 1);
    return image;
}

struct Collected {
    std::string bytes;
};
heif_error Collect(heif_context*, const void* data, size_t size, void* userdata) {
    static_cast<Collected*>(userdata)->bytes.append(static_cast<const char*>(data), size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

// The file's bytes, or "" when there is no encoder for the format.
std::string EncodeHeif(const QImage& source, const HeifCase& c, const QByteArray& profile) {
    const std::unique_ptr<heif_context, HeifFree> context(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), IsAvif(c) ? heif_compression_AV1 : heif_compression_HEVC,
                                            &rawEncoder).code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_encoder, HeifFree> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), 90);
    heif_encoder_set_logging_level(encoder.get(), 0);
    const std::unique_ptr<heif_encoding_options, HeifFree> options(heif_encoding_options_alloc());
    if (c.decoyFirst) {
        const HeifCase plain{"decoy", false, false, 1, false, 8, false, false, TColorModel::RGB};
        heif_context_encode_image(context.get(), HeifPicture(GradientPicture(40, 40, false).mirrored(true, true), plain, {}).get(),
                                  encoder.get(), nullptr, nullptr);
    }
    options->image_orientation = static_cast<heif_orientation>(c.orientation);
    const auto picture = HeifPicture(source, c, profile);
    heif_image_handle* rawHandle = nullptr;
    EXPECT_EQ(heif_context_encode_image(context.get(), picture.get(), encoder.get(), options.get(), &rawHandle).code,
              heif_error_Ok);
    const std::unique_ptr<heif_image_handle, HeifFree> handle(rawHandle);
    if (c.decoyFirst) {
        heif_image_handle* thumbnail = nullptr;
        heif_context_encode_thumbnail(context.get(), picture.get(), handle.get(), encoder.get(), nullptr, 16, &thumbnail);
        heif_image_handle_release(thumbnail);
        heif_context_set_primary_image(context.get(), handle.get());
    }
    heif_writer writer{1, Collect};
    Collected out;
    EXPECT_EQ(heif_context_write(context.get(), &writer, &out).code, heif_error_Ok);
    return out.bytes;
}

TEST(HeifReader, DecodesThePrimaryImageUpright) {
    const TempDir dir;
    const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
    ASSERT_FALSE(srgb.isEmpty());
    for (const HeifCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const QImage source = GradientPicture(64, 48, c.alpha, c.neutral);
        const std::string bytes = EncodeHeif(source, c, c.rgbProfile ? srgb : QByteArray());
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
        EXPECT_EQ(record.IccProfile, c.rgbProfile ? srgb.toStdString() : std::string());
        EXPECT_LT(MeanDelta(RecordPixels(record), expected), 3.0);
        EXPECT_EQ(picture->ScreenImage(16).size(), expected.size().scaled(16, 16, Qt::KeepAspectRatio));
    }
}

TEST(HeifReader, RefusesDamagedFilesWithoutCodecNoise) {
    for (const HeifCase& c : {kCases[1], kCases[3]}) {
        SCOPED_TRACE(c.file);
        const std::string good = EncodeHeif(GradientPicture(64, 48, c.alpha), c, {});
        if (good.empty()) continue;
        const std::string extension = IsAvif(c) ? ".avif" : ".heic";
        const int refused = CheckDamagedCopies(good, "HEIF", extension, [](const std::string& path) { LoadHeifFile(path); });
        std::cout << refused << " refused\n";
        EXPECT_GE(refused, 5);
    }
}

}  // namespace
}  // namespace tovra::test
