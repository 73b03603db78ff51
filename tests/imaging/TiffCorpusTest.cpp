// The TIFF reader against libtiff's test images in the shared corpus and files derived from them
// with libtiff's tools and Pillow (tiles, separate planes, every way of coding fax data, several
// pages): each page decodes to the pixels of the reference raster beside it or of Pillow's
// decoding, as the kind of record it should be, or is refused naming the file; nothing reaches
// the terminal.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <map>
#include <sstream>

#include "ImageTestHelpers.h"
#include "TestSupport.h"
#include "TiffReader.h"
#include "TiffReference.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

struct Case {
    const char* file;       // in the corpus folder, or made by `make` in a temporary folder
    const char* make;       // shell command: {c} is the corpus folder, {o} the file to make, {pil}
                            // starts a Python command with Pillow imported
    int pages;              // what CountTiffPages says
    int page;
    const char* expect;     // the record's shape (see Shape), or "refused: <part of the reason>"
    const char* reference;  // "pnm:<corpus file>", "pil:<corpus file>", "pil" (Pillow on the file), "" none
    int tolerance = 0;      // largest channel difference allowed
};

const Case kCases[] = {
    {"32bpp-None-jpeg.tiff", nullptr, 1, 0, "RGB 8", "pil"},
    {"32bpp-None.tiff", nullptr, 1, 0, "RGB 8 alpha 8", "pil", 1},  // associated alpha, divided back
    {"custom_dir_EXIF_GPS.tiff", nullptr, 1, 0, "RGB 8", "pil"},
    {"deflate-last-strip-extra-data.tiff", nullptr, 1, 0, "Gray 8", "pil"},
    {"logluv-3c-16b.tiff", nullptr, 1, 0, "RGB 8", ""},  // no other reader knows LogLuv
    {"lzw-single-strip.tiff", nullptr, 1, 0, "Gray 1 inverted", "pil"},
    {"minisblack-1c-16b.tiff", nullptr, 1, 0, "Gray 16", "pil"},
    {"minisblack-1c-8b.tiff", nullptr, 1, 0, "Gray 8", "pnm:minisblack-1c-8b.pgm"},
    {"minisblack-2c-8b-alpha.tiff", nullptr, 1, 0, "Gray 8 alpha 8", ""},  // Pillow cannot read it
    {"miniswhite-1c-1b.tiff", nullptr, 1, 0, "Gray 1 inverted", "pnm:miniswhite-1c-1b.pbm"},
    {"ojpeg_chewey_subsamp21_multi_strip.tiff", nullptr, 1, 0, "RGB 8", "pil", 2},
    {"ojpeg_single_strip_no_rowsperstrip.tiff", nullptr, 1, 0, "RGB 8", "pil", 2},
    {"ojpeg_zackthecat_subsamp22_single_strip.tiff", nullptr, 1, 0, "RGB 8", "pil", 2},
    {"palette-1c-1b.tiff", nullptr, 1, 0, "Indexed 1", "pil"},
    {"palette-1c-4b.tiff", nullptr, 1, 0, "Indexed 4", "pil"},
    {"palette-1c-8b.tiff", nullptr, 1, 0, "Indexed 8", "pil"},
    {"quad-lzw-compat.tiff", nullptr, 1, 0, "RGB 8", "pil"},
    {"quad-tile.jpg.tiff", nullptr, 1, 0, "RGB 8", "pil", 12},  // libjpeg's upsampling against libtiff's
    {"rgb-3c-16b.tiff", nullptr, 1, 0, "RGB 16", "pnm:rgb-3c-16b.ppm", 1},  // Qt rounds the PPM to 8 bits
    {"rgb-3c-8b.tiff", nullptr, 1, 0, "RGB 8", "pnm:rgb-3c-8b.ppm"},
    {"test_float64_predictor2_be_lzw.tif", nullptr, 1, 0, "refused: not supported (Sorry, can not handle images with 64-bit samples)", ""},
    {"test_float64_predictor2_le_lzw.tif", nullptr, 1, 0, "refused: not supported", ""},
    {"test_ifd_loop_subifd.tif", nullptr, 1, 0, "refused: page 5 leads back to page 3", ""},
    {"test_ifd_loop_to_first.tif", nullptr, 1, 0, "refused: loops back on itself", ""},
    {"test_ifd_loop_to_self.tif", nullptr, 1, 0, "refused: page 1 leads back to page 1", ""},
    {"test_two_ifds.tif", nullptr, 2, 0, "Gray 8", "pil"},
    {"test_two_ifds.tif", nullptr, 2, 1, "Gray 8", "pil"},
    {"test_two_ifds.tif", nullptr, 2, 2, "refused: it has no page 3 (it has 2)", ""},
    {"testfax3_bug54_1dnoEOL.tif", nullptr, 1, 0, "refused: damaged at row 1", ""},
    {"testfax3_bug_513.tiff", nullptr, 1, 0, "refused: damaged", ""},
    {"testfax4.tiff", nullptr, 1, 0, "Gray 1 inverted", "pil"},  // rows run past the width: decoded
    {"tiff_with_subifd_chain.tif", nullptr, 2, 0, "Gray 8", "pil"},  // sub-IFDs are not pages
    {"tiff_with_subifd_chain.tif", nullptr, 2, 1, "Gray 8", "pil"},
    {"webp_lossless_rgba_alpha_fully_opaque.tif", nullptr, 1, 0, "RGB 8 alpha 8", "pil"},

    // Fax data in every coding: single strips in fill order 1 pass through.
    {"g4.tif", "tiffcp -c g4 {c}/miniswhite-1c-1b.tiff {o}", 1, 0, "CCITT K=-1 Columns=157 Rows=151",
     "pnm:miniswhite-1c-1b.pbm"},
    {"g3-2d-fill.tif", "tiffcp -c g3:2d:fill {c}/miniswhite-1c-1b.tiff {o}", 1, 0,
     "CCITT K=151 Columns=157 Rows=151", "pnm:miniswhite-1c-1b.pbm"},
    {"g3-1d.tif", "tiffcp -c g3:1d {c}/miniswhite-1c-1b.tiff {o}", 1, 0, "CCITT K=0 Columns=157 Rows=151",
     "pnm:miniswhite-1c-1b.pbm"},
    {"rle-black0.tif", "{pil}Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='tiff_ccitt')\"", 1, 0,
     "CCITT K=0 Columns=157 Rows=151 BlackIs1 EncodedByteAlign", "pnm:miniswhite-1c-1b.pbm"},
    {"g4-black0.tif", "{pil}Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='group4')\"", 1, 0,
     "CCITT K=-1 Columns=157 Rows=151 BlackIs1",
     "pnm:miniswhite-1c-1b.pbm"},
    {"g4-strips.tif", "tiffcp -c g4 -r 40 {c}/miniswhite-1c-1b.tiff {o}", 1, 0, "Gray 1 inverted",
     "pnm:miniswhite-1c-1b.pbm"},
    {"g4-lsb.tif", "tiffcp -f lsb2msb -c g4 {c}/miniswhite-1c-1b.tiff {o}", 1, 0, "Gray 1 inverted",
     "pnm:miniswhite-1c-1b.pbm"},
    {"g4-pages.tif", "tiffcp -c g4 {c}/miniswhite-1c-1b.tiff {c}/palette-1c-1b.tiff {c}/miniswhite-1c-1b.tiff {o}", 3,
     1, "Indexed 1", "pil:palette-1c-1b.tiff"},  // fax-coded palette indices: decoded
    {"g4-pages.tif", "", 3, 2, "CCITT K=-1 Columns=157 Rows=151", "pnm:miniswhite-1c-1b.pbm"},
    // Layouts: tiles with partial edge tiles, separate planes, alpha in its own plane.
    {"rgb-tiles.tif", "tiffcp -t -w 48 -l 32 -c lzw:2 {c}/rgb-3c-8b.tiff {o}", 1, 0, "RGB 8", "pnm:rgb-3c-8b.ppm"},
    {"rgb-planes.tif", "tiffcp -p separate -c zip {c}/rgb-3c-8b.tiff {o}", 1, 0, "RGB 8", "pnm:rgb-3c-8b.ppm"},
    {"rgba-planes.tif", "tiffcp -p separate {c}/32bpp-None.tiff {o}", 1, 0, "RGB 8 alpha 8", "pil:32bpp-None.tiff", 1},
    {"palette-tiles.tif", "tiffcp -t -w 32 -l 16 {c}/palette-1c-4b.tiff {o}", 1, 0, "Indexed 4", "pil:palette-1c-4b.tiff"},
    {"gray16-tiles.tif", "tiffcp -c zip -t -w 16 -l 16 {c}/minisblack-1c-16b.tiff {o}", 1, 0, "Gray 16",
     "pil:minisblack-1c-16b.tiff"},
    {"big-endian-bigtiff.tif", "tiffcp -8 -B {c}/rgb-3c-16b.tiff {c}/minisblack-1c-8b.tiff {o}", 2, 0, "RGB 16",
     "pnm:rgb-3c-16b.ppm", 1},
    {"big-endian-bigtiff.tif", "", 2, 1, "Gray 8", "pnm:minisblack-1c-8b.pgm"},
    {"cmyk.tif", "{pil}Image.open('{c}/rgb-3c-8b.ppm').convert('CMYK').save('{o}')\"", 1, 0, "CMYK 8", "pil"},
    {"ycbcr-jpeg.tif", "tiffcp -c jpeg:90 -r 16 {c}/rgb-3c-8b.tiff {o}", 1, 0, "RGB 8", "pil", 12},
    {"turned.tif", "tiffcp {c}/rgb-3c-8b.tiff {o} && tiffset -s 274 6 {o}", 1, 0, "RGB 8 orientation 6",
     "pnm:rgb-3c-8b.ppm"},
    // Lies: a size no file of this length can hold, a strip beyond the end.
    {"huge.tif", "tiffcp {c}/minisblack-1c-8b.tiff {o} && tiffset -s 256 60000 {o} && tiffset -s 257 60000 {o}", 1,
     0, "refused: too large", ""},
    {"cut-strip.tif", "{pil}Image.open('{c}/minisblack-1c-8b.tiff').save('{o}')\" && truncate -s 5000 {o}", 1, 0,
     "refused: lies outside the file", ""},
};

// "RGB 8 alpha 8", "Indexed 4", "Gray 1 inverted", "CCITT K=-1 Columns=157 Rows=151 BlackIs1" ...
std::string Shape(const TImageRecord& record) {
    std::ostringstream out;
    if (record.Encoding == TImageEncoding::CCITTFax) {
        out << "CCITT";
        for (const TDecodeParm& parm : record.DecodeParms) {
            out << ' ' << parm.Key;
            if (!parm.IsBoolean) out << '=' << parm.Value;
        }
    } else {
        const char* names[] = {"Gray", "RGB", "CMYK", "Indexed"};
        out << names[static_cast<int>(record.Color)] << ' ' << record.BitsPerComponent;
        if (record.Decode == std::vector<std::int32_t>{1, 0}) out << " inverted";
        if (record.SoftMask) out << " alpha " << record.SoftMask->BitsPerComponent;
    }
    if (record.Orientation != 1) out << " orientation " << record.Orientation;
    return out.str();
}

// The mean difference of the channels of two pictures of the same size, laid on white.
double MeanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 255;
    const QImage pa = OnWhite(a), pb = OnWhite(b);
    double total = 0;
    for (int y = 0; y < pa.height(); ++y)
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y), q = pb.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return total / (3.0 * pa.width() * pa.height());
}

TEST(TiffCorpus, EveryPageDecodesToItsReferenceOrIsRefusedByName) {
    REQUIRE_CORPUS();
    const TempDir dir;
    const fs::path corpus = CorpusPath("tiff");
    std::map<std::string, fs::path> paths;
    for (const Case& c : kCases) {
        if (!c.make) {
            paths[c.file] = corpus / c.file;
        } else if (*c.make) {
            const fs::path out = dir / c.file;
            const std::string command =
                test::ReplaceAll(test::ReplaceAll(test::ReplaceAll(c.make, "{pil}", "/usr/bin/python3 -c \"from PIL import Image; "), "{c}",
                                corpus.string()),
                        "{o}", out.string());
            const CommandResult made = RunCommand(command);
            ASSERT_EQ(made.exitCode, 0) << command << "\n" << made.output;
            paths[c.file] = out;
        }
    }
    std::vector<std::pair<fs::path, int>> pillowPages;
    for (const Case& c : kCases) {
        const std::string reference = c.reference;
        if (reference == "pil") pillowPages.emplace_back(paths[c.file], c.page);
        if (reference.starts_with("pil:")) pillowPages.emplace_back(corpus / reference.substr(4), 0);
    }
    // Pillow's decodings of those pages, by "path#page".
    const std::vector<TReferencePicture> decoded = PillowTiffPages(pillowPages, dir.Path());
    std::map<std::string, TReferencePicture> pillow;
    for (std::size_t i = 0; i < pillowPages.size(); ++i)
        pillow[pillowPages[i].first.string() + '#' + std::to_string(pillowPages[i].second)] = decoded[i];

    testing::internal::CaptureStderr();
    int files = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.file) + " page " + std::to_string(c.page + 1));
        const std::string path = paths[c.file].string();
        files += !c.make && c.page == 0;
        EXPECT_EQ(CountTiffPages(path), c.pages);
        const std::string expect = c.expect;
        if (expect.starts_with("refused: ")) {
            try {
                LoadTiffFile(path, c.page);
                ADD_FAILURE() << "not refused";
            } catch (const Exception& e) {
                EXPECT_TRUE(std::string(e.what()).starts_with("Cannot read TIFF file \"" + path + "\": ")) << e.what();
                EXPECT_NE(std::string(e.what()).find(expect.substr(9)), std::string::npos) << e.what();
            }
            continue;
        }
        std::unique_ptr<TRecordImage> picture;
        try {
            picture = LoadTiffFile(path, c.page);
        } catch (const Exception& e) {
            ADD_FAILURE() << e.what();
            continue;
        }
        const TImageRecord& record = picture->Record();
        EXPECT_EQ(Shape(record), expect);
        // Read from memory (as the fuzz target does), the page is the same, its fax data as bytes.
        const std::string file = ReadFileBytes(path);
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
        const auto fromMemory = DecodeTiff(bytes, c.file, c.page);
        EXPECT_EQ(Shape(*fromMemory), expect);
        EXPECT_EQ(CountTiffPages(bytes), c.pages);
        const QImage screen = record.Encoding == TImageEncoding::CCITTFax ? picture->ScreenImage(0) : SamplesToImage(record, 0);
        if (record.Encoding == TImageEncoding::CCITTFax) {
            // Pass-through: one slice of the file, exactly the strip's bytes.
            const bool oneSlice = record.Slices.size() == 1 && record.Source && record.Source->Path == path &&
                                  record.Slices[0].Offset + record.Slices[0].Length <= file.size();
            EXPECT_TRUE(oneSlice);
            const std::string strip = oneSlice ? file.substr(record.Slices[0].Offset, record.Slices[0].Length) : "";
            EXPECT_EQ(strip, test::RawTiffStrip(path, c.page));
            EXPECT_TRUE(fromMemory->Bytes && *fromMemory->Bytes == strip);
        } else if (std::int64_t{record.Width} * record.Height < 1 << 20) {
            // The screen decoder shows what the samples hold (both as 8-bit premultiplied pixels).
            int delta = 0;
            EXPECT_GE(CountDifferentPixels(picture->ScreenImage(0), screen, &delta), 0);
            EXPECT_LE(delta, 1) << "screen against samples";
        }
        // The preview, decoded small, looks like the picture scaled down (filters differ by up to
        // about 10 on sharp black and white).
        const QImage small = picture->ScreenImage(40);
        EXPECT_EQ(std::max(small.width(), small.height()), std::min(40, std::max(record.Width, record.Height)));
        EXPECT_LE(MeanDifference(small, OnWhite(screen).scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 12);

        const std::string reference = c.reference;
        if (reference.empty()) continue;
        const TReferencePicture& wanted = reference.starts_with("pnm:") ? test::ReadReferencePnm(corpus / reference.substr(4))
                                  : reference == "pil"          ? pillow.at(path + "#" + std::to_string(c.page))
                                                                : pillow.at((corpus / reference.substr(4)).string() + "#0");
        if (!wanted.Samples16.empty()) {
            EXPECT_TRUE(record.Bytes && *record.Bytes == wanted.Samples16) << "16-bit samples differ";
        }
        int delta = 0;
        const int differ = CountDifferentPixels(screen, wanted.Image, &delta);
        EXPECT_TRUE(differ == 0 || (differ > 0 && delta <= c.tolerance)) << differ << " pixels differ, by up to " << delta;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // Every picture of the corpus folder has its row.
    int tiffs = 0;
    for (const auto& entry : fs::directory_iterator(corpus))
        tiffs += entry.path().extension() == ".tif" || entry.path().extension() == ".tiff";
    EXPECT_EQ(files, tiffs);
}

}  // namespace
}  // namespace tovra::test
