// The WebP reader against files written by the WebP tools from pictures with known pixels:
// lossless files give exactly the source, lossy ones exactly what an independent reader
// (Pillow) decodes, animations their first frame as the canvas shows it; damaged files are
// refused naming them.
#include <gtest/gtest.h>

#include <iostream>

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
    const char* command;  // {a} the source picture, {b} a second frame, {gif} the GIF, {out} the file
    bool alpha;
    bool lossless;  // the result equals the source (else: equals Pillow's decode, close to the source)
};

const WebpCase kCases[] = {
    {"lossless.webp", "cwebp -quiet -lossless {a} -o {out}", false, true},
    {"lossless-alpha.webp", "cwebp -quiet -lossless -exact {a} -o {out}", true, true},
    {"lossy.webp", "cwebp -quiet -q 90 {a} -o {out}", false, false},
    {"lossy-alpha.webp", "cwebp -quiet -q 90 {a} -o {out}", true, false},
    {"animation.webp", "img2webp -lossless {a} {b} -o {out}", true, true},
    {"from-gif.webp", "gif2webp -quiet {gif} -o {out}", true, true},
};

std::string Expand(std::string text, const std::string& key, const std::string& value) {
    if (const auto at = text.find(key); at != std::string::npos) text.replace(at, key.size(), ShellQuote(value));
    return text;
}

TEST(WebpReader, DecodesWhatTheToolsWrite) {
    const TempDir dir;
    const QImage opaque = GradientPicture(64, 48, false), withAlpha = GradientPicture(64, 48, true);
    ASSERT_TRUE(opaque.save(QString::fromStdString((dir / "opaque.png").string())));
    ASSERT_TRUE(withAlpha.save(QString::fromStdString((dir / "alpha.png").string())));
    ASSERT_TRUE(opaque.mirrored(true, false).save(QString::fromStdString((dir / "second.png").string())));
    const QImage gifFirstFrame = WriteTwoFrameGif(dir / "two.gif");
    for (const WebpCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::string command = c.command;
        if (!HaveProgram(command.substr(0, command.find(' ')))) {
            std::cout << "[ SKIPPED  ] " << c.file << ": " << command.substr(0, command.find(' ')) << " is missing\n";
            continue;
        }
        const bool fromGif = command.find("{gif}") != std::string::npos;
        const std::filesystem::path out = dir / c.file;
        std::string line = Expand(command, "{a}", (dir / (c.alpha ? "alpha.png" : "opaque.png")).string());
        line = Expand(Expand(Expand(line, "{b}", (dir / "second.png").string()), "{gif}", (dir / "two.gif").string()),
                      "{out}", out.string());
        const CommandResult made = RunCommand(line);
        ASSERT_EQ(made.exitCode, 0) << line << "\n" << made.output;

        const auto picture = LoadWebpFile(out.string());
        const TImageRecord& record = picture->Record();
        const QImage source = fromGif ? gifFirstFrame : c.alpha ? withAlpha : opaque;
        EXPECT_EQ(QSize(record.Width, record.Height), source.size());
        EXPECT_EQ(record.Color, TColorModel::RGB);
        EXPECT_EQ(record.BitsPerComponent, 8);
        EXPECT_FALSE(record.PhotoSamples);
        EXPECT_EQ(record.SoftMask != nullptr, c.alpha);
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
