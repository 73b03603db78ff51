// The TIFF corpus (and fax pages made from it with libtiff's tools and Pillow) through
// tovrapdf-cli and back out of the PDF: every page that should decode is on its page with the
// samples of the reference raster beside it or of Pillow's decoding, alpha as a soft mask;
// fax pages carry the strip's bytes as they are and decode in a PDF reader to the reference;
// the pages render as the pictures (turned upright where the file says so); damaged files are
// refused naming them, with no PDF left behind.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <QTransform>
#include <map>

#include "CliBatch.h"
#include "PdfImageReadBack.h"
#include "TiffReference.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

struct Row {
    const char* file;       // in the corpus folder, or made by `make` in the test's folder
    const char* make;       // {c}: the corpus folder, {o}: the file, {pil}: a Python command with Pillow
    int page;               // from 0; the pages of a file follow each other
    const char* expect;     // "samples", "fax", "fax or samples", or "refused: <part of the reason>"
    const char* reference;  // "pnm:<corpus file>", "pil" (Pillow on the page), "" none
    int tolerance = 0;      // largest channel difference allowed
    int turn = 0;           // degrees clockwise from the stored picture to the page
};

const Row kRows[] = {
    {"32bpp-None-jpeg.tiff", nullptr, 0, "samples", "pil"},
    {"32bpp-None.tiff", nullptr, 0, "samples", "pil", 1},  // associated alpha, divided back
    {"custom_dir_EXIF_GPS.tiff", nullptr, 0, "samples", "pil"},
    {"deflate-last-strip-extra-data.tiff", nullptr, 0, "samples", "pil"},
    {"logluv-3c-16b.tiff", nullptr, 0, "samples", ""},  // no other reader knows LogLuv
    {"lzw-single-strip.tiff", nullptr, 0, "samples", "pil"},
    {"minisblack-1c-16b.tiff", nullptr, 0, "samples", "pil"},
    {"minisblack-1c-8b.tiff", nullptr, 0, "samples", "pnm:minisblack-1c-8b.pgm"},
    {"minisblack-2c-8b-alpha.tiff", nullptr, 0, "samples", ""},  // Pillow cannot read it
    {"miniswhite-1c-1b.tiff", nullptr, 0, "samples", "pnm:miniswhite-1c-1b.pbm"},
    {"ojpeg_chewey_subsamp21_multi_strip.tiff", nullptr, 0, "samples", "pil", 2},
    {"ojpeg_single_strip_no_rowsperstrip.tiff", nullptr, 0, "samples", "pil", 2},
    {"ojpeg_zackthecat_subsamp22_single_strip.tiff", nullptr, 0, "samples", "pil", 2},
    {"palette-1c-1b.tiff", nullptr, 0, "samples", "pil"},
    {"palette-1c-4b.tiff", nullptr, 0, "samples", "pil"},
    {"palette-1c-8b.tiff", nullptr, 0, "samples", "pil"},
    {"quad-lzw-compat.tiff", nullptr, 0, "samples", "pil"},
    {"quad-tile.jpg.tiff", nullptr, 0, "samples", "pil", 12},  // libjpeg's upsampling against libtiff's
    {"rgb-3c-16b.tiff", nullptr, 0, "samples", "pnm:rgb-3c-16b.ppm", 1},  // Qt rounds the PPM to 8 bits
    {"rgb-3c-8b.tiff", nullptr, 0, "samples", "pnm:rgb-3c-8b.ppm"},
    {"test_float64_predictor2_be_lzw.tif", nullptr, 0, "refused: not supported", ""},
    {"test_float64_predictor2_le_lzw.tif", nullptr, 0, "refused: not supported", ""},
    {"test_ifd_loop_subifd.tif", nullptr, 0, "refused: loops back on itself", ""},
    {"test_ifd_loop_to_first.tif", nullptr, 0, "refused: loops back on itself", ""},
    {"test_ifd_loop_to_self.tif", nullptr, 0, "refused: loops back on itself", ""},
    {"test_two_ifds.tif", nullptr, 0, "samples", "pil"},
    {"test_two_ifds.tif", nullptr, 1, "samples", "pil"},
    {"testfax3_bug54_1dnoEOL.tif", nullptr, 0, "refused: damaged at row 1", ""},
    {"testfax3_bug_513.tiff", nullptr, 0, "refused: damaged at row 1", ""},
    // Passes libtiff's check but its data does not decode in PDF readers: which way it goes
    // is the fax reader's choice.
    {"testfax4.tiff", nullptr, 0, "fax or samples", "pil"},
    {"tiff_with_subifd_chain.tif", nullptr, 0, "samples", "pil"},  // sub-IFDs are not pages
    {"tiff_with_subifd_chain.tif", nullptr, 1, "samples", "pil"},
    {"webp_lossless_rgba_alpha_fully_opaque.tif", nullptr, 0, "samples", "pil"},

    // Fax data in every coding a single strip can pass through with.
    {"g4.tif", "tiffcp -c g4 {c}/miniswhite-1c-1b.tiff {o}", 0, "fax", "pnm:miniswhite-1c-1b.pbm"},
    {"g3-2d-fill.tif", "tiffcp -c g3:2d:fill {c}/miniswhite-1c-1b.tiff {o}", 0, "fax", "pnm:miniswhite-1c-1b.pbm"},
    {"g3-1d.tif", "tiffcp -c g3:1d {c}/miniswhite-1c-1b.tiff {o}", 0, "fax", "pnm:miniswhite-1c-1b.pbm"},
    {"rle-black0.tif", "{pil}Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='tiff_ccitt')\"", 0,
     "fax", "pnm:miniswhite-1c-1b.pbm"},
    {"g4-black0.tif", "{pil}Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='group4')\"", 0, "fax",
     "pnm:miniswhite-1c-1b.pbm"},
    // The orientation tag turns the page's drawing, not the samples.
    {"turned.tif", "tiffcp {c}/rgb-3c-8b.tiff {o} && tiffset -s 274 6 {o}", 0, "samples", "pnm:rgb-3c-8b.ppm", 0, 90},
};

TEST(CliCorpusKinds, EveryGoodTiffPageIsOnItsPageAsItsReference) {
    if (CorpusDir().empty()) GTEST_SKIP() << "corpus absent";
    const TempDir dir;
    const fs::path corpus = CorpusDir() / "tiff";
    // The files, made where the row says so; the pages that should decode, and their references.
    std::vector<std::string> batch;
    std::vector<const Row*> rows;
    std::vector<std::pair<fs::path, int>> pillowPages;
    std::map<const Row*, std::string> paths;
    for (const Row& row : kRows) {
        std::string path = (corpus / row.file).string();
        if (row.make) {
            path = (dir / row.file).string();
            const std::string pil = test::ReplaceAll(row.make, "{pil}", "/usr/bin/python3 -c \"from PIL import Image; ");
            const std::string command = test::ReplaceAll(test::ReplaceAll(pil, "{c}", corpus.string()), "{o}", path);
            const CommandResult made = RunCommand(command);
            ASSERT_EQ(made.exitCode, 0) << command << "\n" << made.output;
        }
        paths[&row] = path;
        const std::string expect = row.expect;
        if (expect.starts_with("refused: ")) {
            ExpectRefused(dir.Path(), path, "TIFF", expect.substr(9));
            continue;
        }
        if (row.page == 0) batch.push_back(path);
        rows.push_back(&row);
        if (std::string(row.reference) == "pil") pillowPages.emplace_back(path, row.page);
    }
    const std::vector<TReferencePicture> pillow = PillowTiffPages(pillowPages, dir.Path());

    const fs::path pdf = dir / "tiff.pdf";
    const CommandResult run = CliBatch(pdf, batch);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_QPDF_CLEAN(pdf);
    EXPECT_EQ(HeaderOf(pdf), "%PDF-1.5");
    const std::vector<TPdfPicture> pictures = PdfPictures(pdf);
    const TRendering rendering = RenderPages(pdf, dir.Path());
    const std::vector<fs::path>& pages = rendering.Pages;
    const std::vector<fs::path> exact = RenderPages(pdf, dir.Path(), true).Pages;
    ASSERT_EQ(pictures.size(), rows.size());
    ASSERT_EQ(pages.size(), rows.size());
    ASSERT_EQ(exact.size(), rows.size());

    std::size_t nextPillow = 0;
    bool undecodableFax = false;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const Row& row = *rows[n];
        const std::string& path = paths[&row];
        SCOPED_TRACE(std::string(row.file) + " page " + std::to_string(row.page + 1));
        const TPdfPicture& picture = pictures[n];
        const std::string expect = row.expect, referenceName = row.reference;
        const bool fax = picture.Filters == std::vector<std::string>{"CCITTFaxDecode"};
        if (expect == "fax") {
            EXPECT_TRUE(fax);
        } else if (expect == "samples") {
            EXPECT_EQ(picture.Filters, std::vector<std::string>{"FlateDecode"});
        }
        const QSize size = row.turn % 180 ? QSize(picture.Height, picture.Width) : QSize(picture.Width, picture.Height);
        PictureOnPage(pages[n], size);
        if (referenceName.empty()) continue;
        const TReferencePicture reference =
            referenceName == "pil" ? pillow[nextPillow++] : test::ReadReferencePnm(corpus / referenceName.substr(4));
        // Fax data: the strip as it is, decoded by poppler (except testfax4's: poppler does not
        // decode it as libtiff does).
        if (fax) {
            EXPECT_TRUE(picture.Raw == test::RawTiffStrip(path, row.page)) << "not the strip's bytes";
            undecodableFax |= expect != "fax";
            if (expect != "fax") continue;
        }
        const QImage seen = fax ? PopplerPicture(pdf, static_cast<int>(n + 1), dir.Path()) : ComposedPicture(picture);
        EXPECT_EQ(PixelsApart(seen, reference.Image, row.tolerance, true), 0);
        if (!reference.Samples16.empty()) {
            EXPECT_TRUE(picture.Samples == reference.Samples16) << "16-bit samples differ";
        }
        if (size.width() + 2 <= kRenderLimit && size.height() + 2 <= kRenderLimit) {
            const QImage upright = reference.Image.transformed(QTransform().rotate(row.turn));
            EXPECT_EQ(PixelsApart(PictureOnPage(exact[n], size), LaidOnWhite(upright), row.tolerance + 1, false), 0);
        }
    }
    if (!undecodableFax) {
        EXPECT_EQ(rendering.Messages, "");
    }
    // Every picture of the corpus folder has its row.
    std::size_t listed = 0, tiffs = 0;
    for (const Row& row : kRows) listed += !row.make && row.page == 0;
    for (const auto& entry : fs::directory_iterator(corpus))
        tiffs += entry.path().extension() == ".tif" || entry.path().extension() == ".tiff";
    EXPECT_EQ(listed, tiffs);
}

}  // namespace
}  // namespace tovra::test
