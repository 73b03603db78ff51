// The GIF decoder: the first image rendered onto the logical screen, transparent and
// uncovered pixels white, as an 8-bit palette picture; damaged files refused by name.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include <QImageReader>

#include "GifReader.h"
#include "ImageLoaders.h"
#include "ImageTestHelpers.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

const QRgb kWhite = qRgb(255, 255, 255);

std::string GifFailure(const Bytes& file) {
    try {
        DecodeGif(Span(file), "x.gif");
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

TEST(GifReader, FirstImageIsRenderedOntoTheScreenWithWhiteAroundIt) {
    GifFrame frame{.left = 1, .top = 1, .width = 2, .height = 1, .pixels = {1, 2}};
    const Bytes file = MakeGif(4, 3, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {frame});
    const QImage image = DecodeGif(Span(file), "x.gif");
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    ASSERT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 1), qRgb(0, 255, 0));
    for (QPoint p : {QPoint(0, 0), QPoint(3, 1), QPoint(0, 2), QPoint(3, 2)}) EXPECT_EQ(image.pixel(p), kWhite);
    // The table keeps the file's colours first; white was added after them.
    EXPECT_EQ(image.colorTable().mid(0, 4), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}));
}

TEST(GifReader, TransparentPixelsBecomeWhite) {
    GifFrame frame{.width = 3, .height = 1, .pixels = {0, 1, 0}, .transparentIndex = 0};
    const QImage image = DecodeGif(Span(MakeGif(3, 1, {0x123456, 0x0000FF}, {frame})), "x.gif");
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(2, 0), kWhite);
}

TEST(GifReader, FullTableWithoutWhiteLendsAnUnusedEntryToTheUncoveredScreen) {
    std::vector<std::uint32_t> palette(256);
    for (std::size_t i = 0; i < 256; ++i) palette[i] = static_cast<std::uint32_t>(i);  // shades of blue, no white
    GifFrame frame{.width = 1, .height = 1, .pixels = {7}};
    const QImage image = DecodeGif(Span(MakeGif(2, 1, palette, {frame})), "x.gif");
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 7));
    EXPECT_EQ(image.pixel(1, 0), kWhite);
}

TEST(GifReader, LocalTableAndInterlacingOfTheFirstImage) {
    GifFrame frame{.width = 1, .height = 9, .pixels = {0, 1, 0, 1, 0, 1, 0, 1, 1}, .localPalette = {0xFFFF00, 0x00FFFF},
                   .interlaced = true};
    const QImage image = DecodeGif(Span(MakeGif(1, 9, {0x000000, 0x000000}, {frame})), "x.gif");
    for (int y = 0; y < 9; ++y)
        EXPECT_EQ(image.pixel(0, y), frame.pixels[static_cast<std::size_t>(y)] ? qRgb(0, 255, 255) : qRgb(255, 255, 0)) << y;
}

TEST(GifReader, LaterFramesOfAnAnimationAreIgnored) {
    GifFrame first{.width = 2, .height = 1, .pixels = {1, 1}};
    GifFrame second{.width = 2, .height = 1, .pixels = {0, 2}};  // index 2 is not in the table
    const QImage image = DecodeGif(Span(MakeGif(2, 1, {0x000000, 0xFF0000}, {first, second})), "x.gif");
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));
}

TEST(GifReader, RefusesBrokenFilesByName) {
    GifFrame frame{.width = 2, .height = 1, .pixels = {0, 3}};
    const Bytes badIndex = MakeGif(2, 1, {0x000000, 0xFFFFFF}, {frame});
    EXPECT_EQ(GifFailure(badIndex), "Cannot read GIF file \"x.gif\": a pixel uses colour 3 but the colour table has only 2 entries");
    EXPECT_EQ(GifFailure(Bytes{'G', 'I', 'F', '8', '9', 'a'}).rfind("Cannot read GIF file \"x.gif\": damaged GIF data", 0), 0u);
    EXPECT_EQ(GifFailure(Bytes{'P', 'N', 'G'}), "Cannot read GIF file \"x.gif\": not a GIF file");

    GifFrame ok{.width = 4, .height = 4, .pixels = std::vector<std::uint8_t>(16, 1)};
    const Bytes good = MakeGif(4, 4, {0x000000, 0xFFFFFF}, {ok});
    for (std::size_t size = 0; size + 1 < good.size(); ++size)
        EXPECT_NE(GifFailure(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size))), "") << size;
}

TEST(GifReader, HugeFramesAreRefusedBeforeTheyAreDecoded) {
    // A 60000 x 60000 image descriptor followed by almost no data.
    GifFrame small{.width = 1, .height = 1, .pixels = {0}};
    Bytes file = MakeGif(60000, 60000, {0, 0xFFFFFF}, {small});
    // Patch the image descriptor's size (after header 13 bytes and a 2-entry table).
    const std::size_t descriptor = 13 + 6;
    ASSERT_EQ(file[descriptor], 0x2C);
    for (std::size_t i : {descriptor + 5, descriptor + 7}) {
        file[i] = 0x60;
        file[i + 1] = 0xEA;
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(GifFailure(file).find("too large (60000 x 60000 pixels"), std::string::npos) << GifFailure(file);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // A normal image on a screen beyond the limit.
    EXPECT_NE(GifFailure(MakeGif(60000, 60000, {0, 0xFFFFFF}, {small})).find("too large"), std::string::npos);
}

// Corpus files.

std::string CorpusGif(const std::string& name) { return CorpusPath("gif/" + name).string(); }

TEST(GifCorpus, FirstFramesMatchAnIndependentDecoder) {
    REQUIRE_CORPUS();
    for (const char* name : {"video-001.gif", "video-001.5bpp.gif", "video-005.gray.gif", "triangle-001.gif",
                             "moon_impact.gif", "animated_loop_interlaced.gif", "static_transparent.gif"}) {
        SCOPED_TRACE(name);
        const auto bitmap = LoadGifFile(CorpusGif(name));
        EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
        QImageReader reader(QString::fromStdString(CorpusGif(name)), "gif");
        const QImage expected = reader.read();  // Qt's own GIF decoder, first frame
        ASSERT_FALSE(expected.isNull());
        int maxDelta = 0;
        EXPECT_EQ(CountDifferentPixels(bitmap->Image(), OnWhite(expected), &maxDelta), 0) << "max delta " << maxDelta;
    }
}

TEST(GifCorpus, InterlacedAndPlainCopiesOfAPictureDecodeAlike) {
    REQUIRE_CORPUS();
    const auto plain = LoadGifFile(CorpusGif("video-001.gif"));
    const auto interlaced = LoadGifFile(CorpusGif("video-001.interlaced.gif"));
    EXPECT_EQ(plain->Image(), interlaced->Image());
}

TEST(GifCorpus, ScreenGeometryCases) {
    REQUIRE_CORPUS();
    // 16x16 first tile of a 32x32 screen. The tile uses all 256 colours of its table, none
    // of them white: the rest of the screen takes the table's colour closest to white.
    const QImage tile = LoadGifFile(CorpusGif("high-color.gif"))->Image();
    EXPECT_EQ(tile.size(), QSize(32, 32));
    auto distanceToWhite = [](QRgb c) {
        return (255 - qRed(c)) * (255 - qRed(c)) + (255 - qGreen(c)) * (255 - qGreen(c)) + (255 - qBlue(c)) * (255 - qBlue(c));
    };
    for (QRgb c : tile.colorTable()) EXPECT_LE(distanceToWhite(tile.pixel(31, 31)), distanceToWhite(c));
    // An image entirely outside the screen leaves it white.
    const QImage outside = LoadGifFile(CorpusGif("image-outside-bg.gif"))->Image();
    EXPECT_EQ(outside.size(), QSize(2, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(outside.pixel(x, y), kWhite);
    EXPECT_EQ(LoadGifFile(CorpusGif("max-width.gif"))->Width(), 65535);
}

TEST(GifCorpus, DamagedFilesAreRefusedWithAMessageNamingThem) {
    REQUIRE_CORPUS();
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"invalid-code.gif", "damaged GIF data"},
        {"invalid-colors.gif", "a pixel uses colour 2 but the colour table has only 2 entries"},
        {"issue-101-infinite-empty-loop.gif", "has no pixels"},
        {"issue-117-out-of-range.gif", "damaged GIF data"},
        {"max-codes.gif", "damaged GIF data"},  // giflib does not accept its 12-bit start
        {"max-size.gif", "the file holds no image"},
        {"no-data.gif", "the file holds no image"},
        {"zero-size.gif", "the file holds no image"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = CorpusGif(c.name);
        try {
            LoadGifFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot read GIF file \"" + path + "\": ", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace tovra::test
