// The WebP and HEIF readers against files written from pictures with known pixels, by the WebP
// tools and by libheif's encoders: lossless WebP gives exactly the source, lossy WebP exactly
// what an independent reader (Pillow) decodes, an animation its first frame as the canvas
// shows it; HEIC and AVIF give their primary image upright, close to the source, with alpha and
// ICC profile. Damaged copies are refused naming the file, with nothing on standard error.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <memory>
#include <random>

#include <QColorSpace>
#include <QTransform>
#include <libheif/heif.h>

#include "HeifReader.h"
#include "ImageTestHelpers.h"
#include "TestSupport.h"
#include "WebpReader.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

// Red rising to the right, green downwards, a diagonal blue band (a turn or mirror shows);
// with alpha, opacity falls to 0 at the right edge. Neutral: greys only.
QImage GradientPicture(int width, int height, bool alpha, bool neutral = false) {
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int r = x * 255 / (width - 1), g = y * 255 / (height - 1);
            const int b = std::abs(x - y) < width / 4 ? 200 : 40, a = alpha ? 255 - r : 255;
            image.setPixel(x, y, neutral ? qRgba((r + g) / 2, (r + g) / 2, (r + g) / 2, a) : qRgba(r, g, b, a));
        }
    return image;
}

// Mean difference per channel, premultiplied; -1 when the sizes differ.
double MeanDelta(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    for (int y = 0; y < pa.height(); ++y)
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y), q = pb.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) +
                     std::abs(qAlpha(p) - qAlpha(q));
        }
    return total / (4.0 * pa.width() * pa.height());
}

// Copies of a good file cut short, with a broken header, empty, with another kind's signature or
// with random bits flipped, and a folder: each loads (only flipped bits may) or is refused with
// "Cannot read <kind> file "<path>": ...", and nothing reaches standard error (codec noise).
void CheckDamagedCopies(const std::string& good, const std::filesystem::path& dir, const std::string& kind,
                        const std::function<void(const std::string&)>& load) {
    std::vector<std::pair<std::string, std::string>> copies = {
        {"half", good.substr(0, good.size() / 2)},
        {"tail-cut", good.substr(0, good.size() - 7)},
        {"header", std::string("\0\0\0\x18", 4) + good.substr(4, 4) + "\xff\xff\xff\xff" + good.substr(12)},
        {"empty", ""},
        {"signature", "\x89PNG\r\n\x1a\n" + good.substr(8)},
    };
    std::mt19937 random(13);
    for (int i = 0; i < 150; ++i) {
        std::string changed = good;
        for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n)
            changed[random() % changed.size()] ^= static_cast<char>(1 << (random() % 8));
        copies.emplace_back("flipped-" + std::to_string(i), std::move(changed));
    }
    copies.emplace_back("folder", "");
    testing::internal::CaptureStderr();
    for (const auto& [label, bytes] : copies) {
        const std::filesystem::path path = dir / ("damaged-" + label);
        if (label == "folder") std::filesystem::create_directory(path);
        else WriteFileBytes(path, bytes);
        try {
            load(path.string());
            EXPECT_TRUE(label.starts_with("flipped-")) << label << " was not refused";
        } catch (const Exception& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("Cannot read " + kind + " file \"" + path.string() + "\": "))
                << e.what();
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// ---- WebP ----

// The file decoded by Pillow, as RGBA.
QImage PillowDecode(const std::filesystem::path& webp) {
    const std::string png = webp.string() + ".pillow.png";
    const CommandResult r = RunCommand("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                       "Image.open(sys.argv[1]).convert('RGBA').save(sys.argv[2])\" " +
                                       ShellQuote(webp.string()) + " " + ShellQuote(png));
    EXPECT_EQ(r.exitCode, 0) << r.output;
    return QImage(QString::fromStdString(png));
}

// A GIF whose first frame covers only the middle of its screen, the second all of it; returns
// the first frame on the (transparent) screen.
QImage WriteTwoFrameGif(const std::filesystem::path& path) {
    const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const Bytes gif = MakeGif(8, 6, palette, {{2, 1, 4, 3, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}},
                                              {0, 0, 8, 6, std::vector<std::uint8_t>(48, 2)}});
    WriteFileBytes(path, std::string(gif.begin(), gif.end()));
    QImage firstFrame(8, 6, QImage::Format_ARGB32);
    firstFrame.fill(Qt::transparent);
    for (int i = 0; i < 12; ++i) firstFrame.setPixel(2 + i % 4, 1 + i / 4, 0xFF000000 | palette[i % 4]);
    return firstFrame;
}

struct WebpCase {
    const char* file;
    const char* command;  // {a}: the source, {b}: a second frame, {icc}: an sRGB profile, {out}: the file
    const char* source;   // opaque, alpha, flat (two megapixels of one colour), gif.gif
    bool lossless;        // equal to the source, else to Pillow's decode and close to the source
    bool damage = false;  // its damaged copies are tried too
};

// Opaque lossy WebP against Pillow is CliPhotoKinds' row; opaque lossless files are the
// profile and flat rows here.
const WebpCase kWebpCases[] = {
    {"lossless-alpha.webp", "cwebp -quiet -lossless -exact {a} -o {out}", "alpha", true},
    {"lossy-alpha.webp", "cwebp -quiet -q 90 {a} -o {out}", "alpha", false, true},
    {"profile.webp", "cwebp -quiet -lossless {a} -o {out}.0 && webpmux -set icc {icc} {out}.0 -o {out}", "opaque", true},
    {"flat.webp", "cwebp -quiet -lossless {a} -o {out}", "flat", true},
    {"animation.webp", "img2webp -lossless {a} {b} -o {out}", "alpha", true},
    {"from-gif.webp", "gif2webp -quiet {a} -o {out}", "gif.gif", true},
};

std::string Expand(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values)
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key))
            text.replace(at, key.size(), ShellQuote(value));
    return text;
}

TEST(WebpReader, DecodesWhatTheToolsWrite) {
    const TempDir dir;
    QImage flat(2048, 1024, QImage::Format_RGB32);
    flat.fill(qRgb(30, 140, 220));
    std::map<std::string, QImage> sources = {
        {"opaque", GradientPicture(64, 48, false)}, {"alpha", GradientPicture(64, 48, true)}, {"flat", flat}};
    for (const auto& [name, picture] : sources) ASSERT_TRUE(picture.save(QString::fromStdString((dir / name).string()), "PNG"));
    ASSERT_TRUE(sources["opaque"].mirrored(true, false).save(QString::fromStdString((dir / "b").string()), "PNG"));
    sources["gif.gif"] = WriteTwoFrameGif(dir / "gif.gif");
    const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
    WriteFileBytes(dir / "srgb.icc", srgb.toStdString());
    for (const WebpCase& c : kWebpCases) {
        SCOPED_TRACE(c.file);
        const std::string tool = std::string(c.command).substr(0, std::string(c.command).find(' '));
        if (RunCommand("command -v " + tool).exitCode != 0) {
            std::cout << "[ SKIPPED  ] " << c.file << ": " << tool << " is missing\n";
            continue;
        }
        const std::filesystem::path out = dir / c.file;
        const CommandResult made = RunCommand(Expand(c.command, {{"{a}", (dir / c.source).string()},
                                                                 {"{b}", (dir / "b").string()},
                                                                 {"{icc}", (dir / "srgb.icc").string()},
                                                                 {"{out}", out.string()}}));
        ASSERT_EQ(made.exitCode, 0) << made.output;

        const auto picture = LoadWebpFile(out.string());
        const TImageRecord& record = picture->Record();
        const QImage source = sources[c.source];
        EXPECT_EQ(QSize(record.Width, record.Height), source.size());
        EXPECT_EQ(record.Color, TColorModel::RGB);
        EXPECT_EQ(record.BitsPerComponent, 8);
        EXPECT_FALSE(record.PhotoSamples);
        EXPECT_EQ(record.IccProfile, std::string(c.command).find("{icc}") != std::string::npos ? srgb.toStdString() : "");
        EXPECT_EQ(record.SoftMask != nullptr, source.hasAlphaChannel());
        int maxDelta = 0;
        const QImage decoded = SamplesToImage(record, 0);
        EXPECT_EQ(CountDifferentPixels(decoded, c.lossless ? source : PillowDecode(out), &maxDelta), 0) << maxDelta;
        EXPECT_LT(MeanDelta(decoded, source), c.lossless ? 0.01 : 3.0);

        // The screen: at full size the same pixels, smaller sizes decoded scaled.
        EXPECT_EQ(CountDifferentPixels(picture->ScreenImage(0), decoded), 0);
        const bool fits = source.width() <= 16 && source.height() <= 16;
        const QImage small = picture->ScreenImage(16);
        EXPECT_EQ(small.size(), fits ? source.size() : source.size().scaled(16, 16, Qt::KeepAspectRatio));
        EXPECT_LT(MeanDelta(small, SamplesToImage(record, 16)), 8.0);
        if (c.damage)
            CheckDamagedCopies(ReadFileBytes(out), dir.Path(), "WebP", [](const std::string& path) {
                LoadWebpFile(path)->ScreenImage(8);
            });
    }
}

// ---- HEIF ----

struct HeifCase {
    const char* file;
    bool alpha = false;
    bool neutral = false;        // greys, encoded as a monochrome picture
    int orientation = 1;         // as in EXIF, written as irot/imir
    bool profile = false;        // an sRGB ICC profile embedded
    int bits = 8;                // more: a deep picture
    bool decoyFirst = false;     // another top-level picture first, and a thumbnail
    bool premultiplied = false;  // colour stored multiplied by alpha
    TColorModel color = TColorModel::RGB;
    bool damage = false;  // its damaged copies are tried too
};

// A plain opaque HEIC is the profile row here and CliPhotoKinds' photo.heic.
const HeifCase kHeifCases[] = {
    {.file = "alpha.heic", .alpha = true, .damage = true},
    {.file = "turned.heic", .orientation = 6},
    {.file = "upside-down.avif", .alpha = true, .orientation = 3, .damage = true},
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
                const int stored = deep ? v * ((1 << c.bits) - 1) / 255 : v;
                std::uint8_t* at = plane + y * stride + (x * channels + i) * (deep ? 2 : 1);
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
    const bool avif = std::string(c.file).ends_with(".avif");
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder)
            .code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_encoder, Freer<heif_encoder_release>> ownedEncoder(encoder);
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
    for (const HeifCase& c : kHeifCases) {
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
        if (c.damage)
            CheckDamagedCopies(bytes, dir.Path(), "HEIF", [](const std::string& path) { LoadHeifFile(path); });
    }
}

}  // namespace
}  // namespace tovra::test
