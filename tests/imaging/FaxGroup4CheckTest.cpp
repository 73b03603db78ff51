// The fast Group 4 check against the full one (decode with libtiff, code again, compare): on
// libtiff's own codings of pages that use every mode and run length, and on thousands of damaged
// copies of them, the two must agree; a strip the fast check takes must be libtiff's coding.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "imaging/FaxGroup4Check.h"
#include "imaging/ImageErrors.h"
#include "imaging/TiffDirectories.h"
#include "imaging/TiffFax.h"
#include "imaging/TiffHandle.h"
#include "imaging/TiffPage.h"
#include "imaging/TiffSource.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

using TRows = std::vector<std::vector<std::uint8_t>>;  // 1 bit per pixel, 1 = black

// A page of `height` rows: each row the one above changed a little (shifted edges, copied runs)
// or anew, with runs from 1 pixel to longer than 2624, so every mode and make-up code is coded.
TRows MakePage(int width, int height, std::mt19937& random) {
    TRows rows;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width));
    std::uniform_int_distribution<int> choice(0, 9);
    for (int y = 0; y < height; ++y) {
        const int how = choice(random);
        if (y == 0 || how < 3) {
            int colour = static_cast<int>(random() & 1);
            for (int x = 0; x < width;) {
                const int longest = how == 0 ? 3000 : how == 1 ? 70 : 8;
                const int run = 1 + static_cast<int>(random() % static_cast<unsigned>(longest));
                for (int i = 0; i < run && x < width; ++i) pixels[static_cast<std::size_t>(x++)] = static_cast<std::uint8_t>(colour);
                colour ^= 1;
            }
        } else if (how < 7) {
            // Edges moved by up to 5 pixels: vertical and pass modes, with horizontal ones between.
            for (int k = 0; k < 1 + width / 50; ++k) {
                const auto x = static_cast<std::size_t>(random() % static_cast<unsigned>(width));
                const std::size_t length = 1 + random() % 5;
                for (std::size_t i = x; i < std::min(pixels.size(), x + length); ++i) pixels[i] ^= 1;
            }
        }
        std::vector<std::uint8_t> row(static_cast<std::size_t>((width + 7) / 8));
        for (int x = 0; x < width; ++x)
            if (pixels[static_cast<std::size_t>(x)]) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        rows.push_back(std::move(row));
    }
    return rows;
}

// A one-strip Group 4 TIFF of the rows coded by libtiff, or holding `strip` as it is.
std::string G4Tiff(const fs::path& path, int width, const TRows& rows, const std::string* strip) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    const auto height = static_cast<std::uint32_t>(rows.size());
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    if (strip) {
        TIFFWriteRawStrip(tiff, 0, const_cast<char*>(strip->data()), static_cast<tmsize_t>(strip->size()));
    } else {
        for (std::uint32_t y = 0; y < height; ++y) TIFFWriteScanline(tiff, const_cast<std::uint8_t*>(rows[y].data()), y, 0);
    }
    TIFFClose(tiff);
    return ReadFileBytes(path);
}

struct Strip {
    std::string bytes;
    int width, height;
};

// Both checks on a TIFF file's one strip.
void Check(const std::string& file, bool* fast, bool* full, Strip* strip) {
    const auto source = TTiffSource::FromMemory({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
    const TTiffHandle handle(source, "page.tif", PageDirectoryOffsets(source).at(0));
    const TTiffPage page = DescribeTiffPage(handle);
    TIFF* tiff = handle.Get();
    std::string bytes(static_cast<std::size_t>(TIFFGetStrileByteCount(tiff, 0)), '\0');
    ASSERT_TRUE(source.Read(bytes.data(), bytes.size(), TIFFGetStrileOffset(tiff, 0)));
    *fast = IsLibtiffGroup4Coding(bytes, page.Width, page.Height);
    try {
        *full = DecodesAsLibtiffCodes(handle, page, bytes);
    } catch (const DecodeError&) {
        *full = false;
    }
    if (strip) *strip = {bytes, page.Width, page.Height};
}

// The coding without its end-of-block code: the 24 bits before its last 1 bit cut off.
std::string WithoutEndOfBlock(std::string coding) {
    std::size_t bits = coding.size() * 8;
    while (bits > 0 && !((static_cast<std::uint8_t>(coding[(bits - 1) / 8]) >> (7 - (bits - 1) % 8)) & 1)) --bits;
    const std::size_t start = bits - 24;
    coding.resize((start + 7) / 8);
    if (start % 8) coding.back() = static_cast<char>(static_cast<std::uint8_t>(coding.back()) & (0xFF00 >> (start % 8)));
    return coding;
}

TEST(FaxGroup4Check, AgreesWithDecodingAndCodingAgain) {
    const TempDir folder;
    std::mt19937 random(20240611);
    const int widths[] = {1, 5, 64, 200, 1728, 2560, 2624, 6000};
    int agreedRejections = 0;
    for (const int width : widths) {
        SCOPED_TRACE("width " + std::to_string(width));
        const TRows rows = MakePage(width, 30, random);
        bool fast = false, full = false;
        Strip coded;
        Check(G4Tiff(folder / "coded.tif", width, rows, nullptr), &fast, &full, &coded);
        ASSERT_TRUE(full);
        ASSERT_TRUE(fast);
        // Without the end of block, with zeros after: libtiff's coding still; other bytes after
        // it, or rows missing: not.
        const std::string shortened = WithoutEndOfBlock(coded.bytes);
        EXPECT_TRUE(IsLibtiffGroup4Coding(shortened, width, 30));
        EXPECT_TRUE(IsLibtiffGroup4Coding(coded.bytes + std::string(7, '\0'), width, 30));
        EXPECT_FALSE(IsLibtiffGroup4Coding(coded.bytes + "\x01", width, 30));
        EXPECT_FALSE(IsLibtiffGroup4Coding(coded.bytes, width, 31));
        EXPECT_FALSE(IsLibtiffGroup4Coding(shortened.substr(0, shortened.size() - 2), width, 30));

        // Damaged copies: a bit or a byte changed, bytes swapped or cut out.
        for (int n = 0; n < 150; ++n) {
            std::string damaged = coded.bytes;
            const std::size_t at = random() % damaged.size();
            switch (n % 4) {
                case 0: damaged[at] = static_cast<char>(damaged[at] ^ (1 << (random() % 8))); break;
                case 1: damaged[at] = static_cast<char>(random()); break;
                case 2: if (at + 1 < damaged.size()) std::swap(damaged[at], damaged[at + 1]); break;
                default: damaged.erase(at, 1 + random() % 3); break;
            }
            Check(G4Tiff(folder / "damaged.tif", width, rows, &damaged), &fast, &full, nullptr);
            ASSERT_EQ(fast, full) << "copy " << n;
            agreedRejections += fast ? 0 : 1;
        }
    }
    EXPECT_GT(agreedRejections, 0);
}

}  // namespace
}  // namespace tovra::test
