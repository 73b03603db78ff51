// The WebP reader against files written by the WebP tools from pictures with known pixels:
// lossless files give exactly the source, lossy ones exactly what an independent reader
// (Pillow) decodes, animations their first frame as the canvas shows it; damaged files are
// refused naming them.
#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include <QColorSpace>

#include "DecodedPictureChecks.h"
#include "ImageTestHelpers.h"
#include "TestSupport.h"
#include "WebpReader.h"

namespace tovra::test {
namespace {

bool HaveProgram(const std::string& name) { return RunCommand("command -v " + ShellQuote(name)).exitCode == 0; }

// The file decoded by Pillow, as RGBA.
QImage PillowDecode(const std::filesystem::path& webp, const TempDir& dir) {
    const std::filesystem::path png = dir / (webp.filename().string() + ".pillow.png");
    const CommandResult r = RunCommand("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                       "Image.open(sys.argv[1]).convert('RGBA').save(sys.argv[2])\" " +
                                       ShellQuote(webp.string()) + " " + ShellQuote(png.string()));
    EXPECT_EQ(r.exitCode, 0) << r.output;
    return QImage(QString::fromStdString(png.string()));
}

// A GIF whose first frame covers only the middle of its screen; its second frame covers all.
QImage WriteTwoFrameGif(const std::filesystem::path& path) {
    const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    GifFrame first{2, 1, 4, 3, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}};
    GifFrame second{0, 0, 8, 6, std::vector<std::uint8_t>(48, 2)};
    const Bytes gif = MakeGif(8, 6, palette, {first, second});
    WriteFileBytes(path, std::string(gif.begin(), gif.end()));
    QImage expected(8, 6, QImage::Format_ARGB32);
    expected.fill(Qt::transparent);
    for (int i = 0; i < 12; ++i) expected.setPixel(2 + i % 4, 1 + i / 4, 0xFF000000 | palette[i % 4]);
    return expected;
}

struct WebpCase {
    const char* file;
    const char* command;  // {a} the source picture, {b} a second frame, {icc} an sRGB profile, {out} the file
    const char* source;   // the picture it shows: opaque, alpha, flat (large, of one colour), gif
    bool lossless;        // the result equals the source (else: equals Pillow's decode, close to it)
};

const WebpCase kCases[] = {
    {"lossless.webp", "cwebp -quiet -lossless {a} -o {out}", "opaque", true},
    {"lossless-alpha.webp", "cwebp -quiet -lossless -exact {a} -o {out}", "alpha", true},
    {"lossy.webp", "cwebp -quiet -q 90 {a} -o {out}", "opaque", false},
    {"lossy-alpha.webp", "cwebp -quiet -q 90 {a} -o {out}", "alpha", false},
    {"profile.webp", "cwebp -quiet -lossless {a} -o {out}.plain && webpmux -set icc {icc} {out}.plain -o {out}", "opaque",
     true},
    {"flat.webp", "cwebp -quiet -lossless {a} -o {out}", "flat", true},  // 2 megapixels in a few bytes
    {"animation.webp", "img2webp -lossless {a} {b} -o {out}", "alpha", true},
    {"from-gif.webp", "gif2webp -quiet {a} -o {out}", "gif", true},
};

std::string Expand(std::string text, const std::string& key, const std::string& value) {
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
    for (const auto& [name, picture] : sources)
        ASSERT_TRUE(picture.save(QString::fromStdString((dir / (name + ".png")).string())));
    ASSERT_TRUE(sources["opaque"].mirrored(true, false).save(QString::fromStdString((dir / "second.png").string())));
    sources["gif"] = WriteTwoFrameGif(dir / "gif.gif");
    const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
    WriteFileBytes(dir / "srgb.icc", srgb.toStdString());
    for (const WebpCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::string command = c.command;
        if (!HaveProgram(command.substr(0, command.find(' ')))) {
            std::cout << "[ SKIPPED  ] " << c.file << ": " << command.substr(0, command.find(' ')) << " is missing\n";
            continue;
        }
        const std::filesystem::path out = dir / c.file;
        const std::string input = (dir / c.source).string() + (std::string_view(c.source) == "gif" ? ".gif" : ".png");
        const std::string line =
            Expand(Expand(Expand(Expand(command, "{a}", input), "{b}", (dir / "second.png").string()), "{out}", out.string()),
                   "{icc}", (dir / "srgb.icc").string());
        const CommandResult made = RunCommand(line);
        ASSERT_EQ(made.exitCode, 0) << line << "\n" << made.output;

        const auto picture = LoadWebpFile(out.string());
        const TImageRecord& record = picture->Record();
        const QImage source = sources[c.source];
        EXPECT_EQ(QSize(record.Width, record.Height), source.size());
        EXPECT_EQ(record.Color, TColorModel::RGB);
        EXPECT_EQ(record.BitsPerComponent, 8);
        EXPECT_FALSE(record.PhotoSamples);
        EXPECT_EQ(record.IccProfile, command.find("{icc}") != std::string::npos ? srgb.toStdString() : std::string());
        EXPECT_EQ(record.SoftMask != nullptr, source.hasAlphaChannel());
        int maxDelta = 0;
        const QImage decoded = SamplesToImage(record, 0);
        const QImage expected = c.lossless ? source : PillowDecode(out, dir);
        EXPECT_EQ(CountDifferentPixels(decoded, expected, &maxDelta), 0) << "max delta " << maxDelta;
        EXPECT_LT(MeanDelta(decoded, source), c.lossless ? 0.01 : 3.0);

        // The screen: full size the same pixels, smaller sizes decoded scaled.
        EXPECT_EQ(CountDifferentPixels(picture->ScreenImage(0), decoded), 0);
        const QImage small = picture->ScreenImage(16);
        const bool fits = source.width() <= 16 && source.height() <= 16;
        EXPECT_EQ(small.size(), fits ? source.size() : source.size().scaled(16, 16, Qt::KeepAspectRatio));
        EXPECT_LT(MeanDelta(small, SamplesToImage(record, 16)), 8.0);
    }
}

TEST(WebpReader, RefusesDamagedFilesNamingThem) {
    if (!HaveProgram("cwebp")) GTEST_SKIP() << "cwebp is missing";
    const TempDir dir;
    ASSERT_TRUE(GradientPicture(64, 48, true).save(QString::fromStdString((dir / "a.png").string())));
    ASSERT_EQ(RunCommand("cwebp -quiet -q 80 " + ShellQuote((dir / "a.png").string()) + " -o " +
                         ShellQuote((dir / "a.webp").string())).exitCode, 0);
    EXPECT_GE(CheckDamagedCopies(ReadFileBytes(dir / "a.webp"), "WebP", ".webp",
                                 [](const std::string& path) { LoadWebpFile(path)->ScreenImage(8); }),
              5);
}

}  // namespace
}  // namespace tovra::test
