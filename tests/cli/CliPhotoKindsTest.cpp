// WebP, HEIC and AVIF files made with the Debian tools, and PNG files with an ICC profile,
// through tovrapdf-cli and back out of the PDF: WebP as exact Flate pixels, HEIF and AVIF as
// one JPEG (full chroma below two megapixels, half from two on) close to what libheif's own
// tool decodes, or exactly those pixels with --lossless-decoded; alpha as a soft mask, the
// profile as the colour space.
#include <gtest/gtest.h>

#include <QColorSpace>
#include <map>

#include "CliBatch.h"
#include "PdfImageReadBack.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

struct Row {
    const char* file;
    const char* make;       // {in}: the source picture, {out}: the file, {icc}: an sRGB profile, {dir}: the
                            // folder of the files made before
    const char* source;     // opaque, alpha (96 x 64), or large (two megapixels)
    const char* stored;     // "Flate" or "DCT <luma sampling factors>" (as written unless exact pixels are
                            // asked for), or "Indexed"; " ICC" after it: with the sRGB profile
    const char* reference;  // "source": the source's pixels; else a command decoding {out} into {ref}
};

constexpr const char* kPillow =
    "/usr/bin/python3 -c \"import sys; from PIL import Image; "
    "Image.open(sys.argv[1]).convert('RGBA').save(sys.argv[2])\" {out} {ref}";
constexpr const char* kHeif = "heif-convert {out} {ref}";

const Row kRows[] = {
    {"lossless.webp", "cwebp -quiet -lossless -exact {in} -o {out}", "alpha", "Flate", "source"},
    {"lossy.webp", "cwebp -quiet -q 80 {in} -o {out}", "opaque", "Flate", kPillow},
    {"lossy-alpha.webp", "cwebp -quiet -q 80 {in} -o {out}", "alpha", "Flate", kPillow},
    {"photo.heic", "heif-enc -q 90 {in} -o {out}", "opaque", "DCT 1x1", kHeif},
    {"alpha.heic", "heif-enc -q 90 {in} -o {out}", "alpha", "DCT 1x1", kHeif},
    {"large.heic", "heif-enc -q 50 {in} -o {out}", "large", "DCT 2x2", kHeif},
    {"alpha.avif", "heif-enc -q 90 {in} -o {out}", "alpha", "DCT 1x1", kHeif},
    {"profile.png", "/usr/bin/python3 -c \"import sys; from PIL import Image; "
                    "Image.open(sys.argv[1]).save(sys.argv[2], icc_profile=open(sys.argv[3], 'rb').read())\" {in} {out} {icc}",
     "opaque", "Flate ICC", "source"},
    {"profile-palette.png", "/usr/bin/python3 -c \"import sys; from PIL import Image; "
                            "Image.open(sys.argv[1]).quantize(16).save(sys.argv[2], icc_profile=open(sys.argv[3], 'rb').read())\" "
                            "{in} {out} {icc}",
     "opaque", "Indexed ICC", kPillow},
    {"profile.heic", "heif-enc -q 90 {dir}/profile.png -o {out}", "opaque", "DCT 1x1 ICC", kHeif},
};

std::string Expand(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values)
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key))
            text.replace(at, key.size(), ShellQuote(value));
    return text;
}

// Red rising to the right, green downwards, a diagonal blue band; with alpha, opacity falls
// to 0 at the right edge.
QImage Gradient(int width, int height, bool alpha) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int r = x * 255 / (width - 1), g = y * 255 / (height - 1), b = std::abs(x - y) < width / 4 ? 200 : 40;
            image.setPixel(x, y, qRgba(r, g, b, alpha ? 255 - r : 255));
        }
    return alpha ? image : image.convertToFormat(QImage::Format_RGB32);
}

// The sampling factors of the first component of a JPEG stream ("2x2"), from its frame header.
std::string LumaSampling(const std::string& jpeg) {
    for (std::size_t at = 2; at + 11 < jpeg.size();) {
        const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xC3) {
            const auto factors = static_cast<unsigned char>(jpeg[at + 11]);
            return std::to_string(factors >> 4) + "x" + std::to_string(factors & 15);
        }
        at += 2 + (static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]));
    }
    return "none";
}

QImage AlphaOf(const QImage& image) { return image.convertToFormat(QImage::Format_Alpha8); }

TEST(CliPhotoKinds, ModernPicturesReachThePageAsDecoded) {
    for (const char* tool : {"cwebp", "heif-enc", "heif-convert"})
        if (RunCommand(std::string("command -v ") + tool).exitCode != 0) GTEST_SKIP() << tool << " is missing";
    const TempDir dir;
    const std::map<std::string, QImage> sources = {
        {"opaque", Gradient(96, 64, false)}, {"alpha", Gradient(96, 64, true)}, {"large", Gradient(1600, 1250, false)}};
    for (const auto& [name, picture] : sources)
        ASSERT_TRUE(picture.save(QString::fromStdString((dir / (name + ".png")).string())));
    const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
    WriteFileBytes(dir / "srgb.icc", srgb.toStdString());

    std::vector<std::string> files;
    std::vector<QImage> references;
    for (const Row& row : kRows) {
        const std::string out = (dir / row.file).string(), ref = out + ".reference.png";
        const std::map<std::string, std::string> values = {
            {"{in}", (dir / (std::string(row.source) + ".png")).string()}, {"{out}", out}, {"{ref}", ref},
            {"{icc}", (dir / "srgb.icc").string()}, {"{dir}", dir.Path().string()}};
        const CommandResult made = RunCommand(Expand(row.make, values));
        ASSERT_EQ(made.exitCode, 0) << row.file << ": " << made.output;
        const bool fromSource = std::string(row.reference) == "source";
        if (!fromSource) {
            const CommandResult decoded = RunCommand(Expand(row.reference, values));
            ASSERT_EQ(decoded.exitCode, 0) << row.file << ": " << decoded.output;
        }
        files.push_back(out);
        references.push_back(fromSource ? sources.at(row.source) : QImage(QString::fromStdString(ref)));
    }

    for (const bool lossless : {false, true}) {
        SCOPED_TRACE(lossless ? "--lossless-decoded" : "default");
        const fs::path pdf = dir / (lossless ? "lossless.pdf" : "default.pdf");
        const CommandResult run = CliBatch(pdf, files, lossless ? "--lossless-decoded" : "");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_QPDF_CLEAN(pdf);
        EXPECT_EQ(HeaderOf(pdf), "%PDF-1.4");
        const std::vector<TPdfPicture> pictures = PdfPictures(pdf);
        const TRendering rendering = RenderPages(pdf, dir.Path(), lossless);
        const std::vector<fs::path>& pages = rendering.Pages;
        EXPECT_EQ(rendering.Messages, "");
        ASSERT_EQ(pictures.size(), files.size());
        ASSERT_EQ(pages.size(), files.size());
        for (std::size_t n = 0; n < files.size(); ++n) {
            const Row& row = kRows[n];
            SCOPED_TRACE(row.file);
            const TPdfPicture& picture = pictures[n];
            const QImage& reference = references[n];
            const std::string stored = row.stored;
            const bool jpeg = stored.starts_with("DCT") && !lossless;
            EXPECT_EQ(picture.Filters, std::vector<std::string>{jpeg ? "DCTDecode" : "FlateDecode"});
            if (jpeg) {
                EXPECT_EQ(stored.substr(4, 3), LumaSampling(picture.Raw));
            }
            if (stored.ends_with("ICC")) {
                EXPECT_EQ(picture.Space, stored.starts_with("Indexed") ? "Indexed" : "ICCBased");
                EXPECT_EQ(picture.IccComponents, 3);
                EXPECT_EQ(picture.IccAlternate, "DeviceRGB");
                EXPECT_TRUE(picture.IccProfile == srgb.toStdString());
            }
            // Exact samples, and the exact alpha as the soft mask; a JPEG's samples close.
            const QImage seen = ComposedPicture(picture);
            EXPECT_EQ(picture.SoftMask != nullptr, std::string(row.source) == "alpha");
            if (jpeg) {
                EXPECT_LT(MeanDifference(seen, reference), 2.5);
            } else {
                EXPECT_EQ(PixelsApart(seen, reference, 0, false), 0);
            }
            EXPECT_EQ(PixelsApart(AlphaOf(seen), AlphaOf(reference), 0, true), 0);
            const QImage shown = PictureOnPage(pages[n], reference.size());
            if (lossless && reference.width() + 2 <= kRenderLimit) {
                EXPECT_EQ(PixelsApart(shown, LaidOnWhite(reference), 1, false), 0);
            }
        }
    }
}

}  // namespace
}  // namespace tovra::test
