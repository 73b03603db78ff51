// The TIFF reader beyond the corpus: broken page chains made byte by byte, pictures only
// libtiff's RGBA conversion reads, a file that changes after loading, files that are not
// regular files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tiffio.h>

#include "ImageTestHelpers.h"
#include "TestSupport.h"
#include "TiffReader.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

std::string Failure(const std::function<void()>& work) {
    try {
        work();
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

// Little-endian TIFF directories, each with one (ignored) entry, chained as `next` says:
// next[i] is the index of the directory after directory i, or -1 for the end.
Bytes ChainedDirectories(const std::vector<int>& next) {
    Bytes file = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const auto put32 = [&file](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    for (int target : next) {
        file.insert(file.end(), {1, 0, 0xFE, 0, 4, 0, 1, 0, 0, 0, 0, 0, 0, 0});  // NewSubfileType 0
        put32(target < 0 ? 0 : 8 + 18 * static_cast<std::uint32_t>(target));
    }
    return file;
}

TEST(TiffReader, BrokenPageChainsAreRefusedAndCountAsOnePage) {
    std::vector<int> many(70000);
    for (std::size_t i = 0; i < many.size(); ++i) many[i] = i + 1 < many.size() ? static_cast<int>(i + 1) : -1;
    Bytes outside = {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0};
    const struct {
        Bytes bytes;
        const char* reason;
    } cases[] = {
        {{}, "not a TIFF file (too short)"},
        {{'G', 'I', 'F', '8', '9', 'a', 0, 0}, "not a TIFF file"},
        {outside, "the first page's directory is damaged or outside the file"},
        {ChainedDirectories({1, 2, 1}), "loops back on itself (page 3 leads back to page 2)"},
        {ChainedDirectories(many), "it has more than 65536 pages"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(CountTiffPages(Span(c.bytes)), 1);
        const std::string message = Failure([&] { DecodeTiff(Span(c.bytes), "x.tif", 0); });
        EXPECT_EQ(message.rfind("Cannot read TIFF file \"x.tif\": ", 0), 0u) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    // A chain that runs out of the file ends there: the pages before it are kept.
    Bytes dangling = ChainedDirectories({1, -1});
    dangling[dangling.size() - 2] = 0x7F;  // the second directory's next offset, far outside
    EXPECT_EQ(CountTiffPages(Span(dangling)), 2);
}

TEST(TiffReader, PicturesConvertedByLibtiffStayAsStoredAndRefuseToShowOnceTheFileChanged) {
    // Grey levels as YCbCr, one pixel a sample: only libtiff's RGBA conversion reads them.
    const TempDir dir;
    const std::string path = (dir / "ycbcr.tif").string();
    const auto write = [&path](std::uint16_t orientation) {
        TIFF* tiff = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(tiff, nullptr);
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 2);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 2);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
        TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
        TIFFSetField(tiff, TIFFTAG_ORIENTATION, orientation);
        std::uint8_t rows[2][6] = {{0, 128, 128, 80, 128, 128}, {160, 128, 128, 240, 128, 128}};
        for (std::uint32_t y = 0; y < 2; ++y) TIFFWriteScanline(tiff, rows[y], y, 0);
        TIFFClose(tiff);
    };
    write(ORIENTATION_BOTRIGHT);
    const auto picture = LoadTiffFile(path, 0);
    EXPECT_EQ(picture->Orientation(), 3);
    const QImage samples = SamplesToImage(picture->Record(), 0), screen = picture->ScreenImage(0);
    const int levels[] = {0, 80, 160, 240};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(qGray(samples.pixel(i % 2, i / 2)), levels[i], 2) << i;
        EXPECT_NEAR(qGray(screen.pixel(i % 2, i / 2)), levels[i], 2) << i;
    }
    // The preview of a picture whose file has changed since is refused, not shown wrong.
    write(ORIENTATION_TOPLEFT);
    const std::string changed = Failure([&] { picture->ScreenImage(16); });
    EXPECT_NE(changed.find("the file has changed since it was loaded"), std::string::npos) << changed;
}

TEST(TiffReader, PipesAndFoldersAreRefusedWithoutWaiting) {
    const TempDir dir;
    const std::string fifo = (dir / "pipe.tif").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir.Path().string()}) {
        EXPECT_EQ(CountTiffPages(path), 1);
        const std::string message = Failure([&] { LoadTiffFile(path, 0); });
        EXPECT_EQ(message.rfind("Cannot read TIFF file \"" + path + "\": it is a ", 0), 0u) << message;
    }
}

}  // namespace
}  // namespace tovra::test
