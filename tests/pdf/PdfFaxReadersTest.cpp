// CCITT fax pages as PDF readers show them. Every fax page of the corpus, and pages coded here in
// every way TIFF allows (libtiff's codings of a real scan, Ghostscript's own coder, strips with
// bytes after their data), is carried into the PDF as it is or decoded, as its row says, and the
// image then shows in poppler, MuPDF and Ghostscript (those installed) exactly as libtiff decodes
// the file: no reader may break off or patch rows differently.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <QImage>

#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "imaging/TiffReader.h"
#include "pdf/PdfRecordXObject.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

struct Case {
    const char* file;   // in the corpus folder, or made by `make` in a temporary folder
    const char* make;   // shell command: {s} a scanned page, {m} a small picture, {o} the file to make
    const char* coder;  // Ghostscript's CCITTFaxEncode parameters to code the strip again with
    const char* tail;   // bytes added after the strip
    bool passed;        // carried as it is (else decoded)
};

const char* const kPillowRle = "/usr/bin/python3 -c \"from PIL import Image; "
                               "Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='tiff_ccitt')\"";

const Case kCases[] = {
    // A scanner's Group 4 data whose rows run past the page's width: libtiff cuts them silently,
    // other readers break off.
    {"testfax4.tiff", nullptr, nullptr, "", false},
    // libtiff's codings of the scan (300 dpi, 2453 x 3369) and of a small picture.
    {"scan-g4.tif", "tiffcp -c g4 -r 99999 {s} {o}", nullptr, "", true},
    {"scan-g3-2d-fill.tif", "tiffcp -c g3:2d:fill -r 99999 {s} {o}", nullptr, "", true},
    {"g3-1d.tif", "tiffcp -c g3:1d {m} {o}", nullptr, "", true},
    {"g3-1d-fill.tif", "tiffcp -c g3:1d:fill {m} {o}", nullptr, "", true},
    {"g3-2d.tif", "tiffcp -c g3:2d {m} {o}", nullptr, "", true},
    {"rle-black0.tif", kPillowRle, nullptr, "", true},
    {"g4-black0.tif", "/usr/bin/python3 -c \"from PIL import Image; Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='group4')\"",
     nullptr, "", true},
    // Another coder: the same canonical codes, Group 4 with or without its end of block.
    {"scan-g4-gs.tif", "tiffcp -c g4 -r 99999 {s} {o}", "/K -1 /EndOfBlock true", "", true},
    {"g4-gs-no-eofb.tif", "tiffcp -c g4 {m} {o}", "/K -1 /EndOfBlock false", "", true},
    {"g3-1d-gs.tif", "tiffcp -c g3:1d {m} {o}", "/K 0 /EndOfLine true /EndOfBlock false", "", true},
    {"rle-gs.tif", kPillowRle, "/K 0 /EncodedByteAlign true /EndOfBlock false", "", true},
    // Valid 2-D Group 3 with one 1-D row in 2, where libtiff codes one in 4 at 300 dpi: decoded.
    {"scan-g3-2d-k2.tif", "tiffcp -c g3:2d -r 99999 {s} {o}", "/K 2 /EndOfLine true /EndOfBlock false", "", false},
    // Bytes after the data: zeros are harmless, anything else is not the coding of the rows.
    {"g4-zeros.tif", "tiffcp -c g4 {m} {o}", nullptr, "\0\0\0\0\0\0\0\0\0", true},
    {"g4-garbage.tif", "tiffcp -c g4 {m} {o}", nullptr, "\x5A\xA5", false},
};

// What a reader shows: poppler's decoding of the image (pdftoppm smooths images drawn 1:1, its
// image extractor does not), MuPDF's and Ghostscript's rendering of the page at 72 dpi.
const char* const kReaders[][2] = {
    {"pdfimages", "pdfimages {pdf} {out} && mv {out}-000.p?m {out}"},
    {"mutool", "mutool draw -q -c gray -r 72 -o {out} {pdf}"},
    {"gs", "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pgmraw -r72 -sOutputFile={out} {pdf}"},
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

bool Installed(const std::string& tool) { return RunCommand("command -v " + tool).exitCode == 0; }

// A single-strip fax page as libtiff reads it.
struct FaxPage {
    std::string strip;  // as stored
    std::string rows;   // decoded, 1 bit per pixel
    bool minIsWhite = true;
    QImage shown;       // the rows in black and white
};

FaxPage ReadFaxPage(const fs::path& path) {
    FaxPage page;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return page;
    std::uint32_t width = 0, height = 0;
    std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    page.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    page.strip.resize(static_cast<std::size_t>(TIFFGetStrileByteCount(tiff, 0)));
    TIFFReadRawStrip(tiff, 0, page.strip.data(), static_cast<tmsize_t>(page.strip.size()));
    const std::size_t rowBytes = (width + 7) / 8;
    page.rows.resize(rowBytes * height);
    for (std::uint32_t y = 0; y < height; ++y) TIFFReadScanline(tiff, page.rows.data() + rowBytes * y, y, 0);
    TIFFClose(tiff);
    QImage bits(reinterpret_cast<const uchar*>(page.rows.data()), static_cast<int>(width), static_cast<int>(height),
                static_cast<qsizetype>(rowBytes), QImage::Format_Mono);
    const QList<QRgb> blackWhite = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    bits.setColorTable(page.minIsWhite ? QList<QRgb>(blackWhite.rbegin(), blackWhite.rend()) : blackWhite);
    page.shown = bits.convertToFormat(QImage::Format_Grayscale8);
    return page;
}

// The page's rows coded by Ghostscript's own CCITT coder.
std::string GhostscriptCoding(const FaxPage& page, const std::string& parameters, const TempDir& dir) {
    WriteFileBytes(dir / "rows.bin", page.rows);
    std::ofstream(dir / "code.ps")
        << "/in (" << (dir / "rows.bin").string() << ") (r) file def /out (" << (dir / "coded.bin").string()
        << ") (w) file def\n/coder out << " << parameters << " /Columns " << page.shown.width() << " /Rows "
        << page.shown.height() << " /BlackIs1 " << (page.minIsWhite ? "true" : "false") << " >> /CCITTFaxEncode filter def\n/row "
        << (page.shown.width() + 7) / 8 << " string def\n"
        << page.shown.height() << " { in row readstring pop coder exch writestring } repeat coder closefile out closefile\n";
    const CommandResult run = RunCommand("gs -q -dNODISPLAY -dBATCH -dNOSAFER " + ShellQuote((dir / "code.ps").string()));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return ReadFileBytes(dir / "coded.bin");
}

// A one-page PDF showing the record on a page of its size.
void WritePdf(const TImageRecord& record, const fs::path& pdf) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    doc.GetCanvas()->SetPageWidth(record.Width);
    doc.GetCanvas()->SetPageHeight(record.Height);
    doc.AddImage("Fax", MakeRecordImage(record, {}, "TIFF"));
    doc.GetCanvas()->DrawXObject(0, 0, static_cast<float>(record.Width), static_cast<float>(record.Height), "Fax");
    WriteFileBytes(pdf, Saved(doc));
}

TEST(PdfFaxReaders, EveryFaxPageShowsInEveryReaderAsLibtiffDecodesIt) {
    const fs::path corpus = CorpusDir() / "tiff";
    if (CorpusDir().empty() || !fs::is_directory(corpus)) GTEST_SKIP() << "corpus absent";
    TIFFSetWarningHandler(nullptr);
    const bool ghostscript = Installed("gs");
    const TempDir dir;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        fs::path path = corpus / c.file;
        if (c.make) {
            if (c.coder && !ghostscript) continue;
            path = dir / c.file;
            const std::string command = Replace(Replace(Replace(Replace(c.make, "{s}", "{c}/testfax4.tiff"), "{m}",
                                                                "{c}/miniswhite-1c-1b.tiff"),
                                                        "{c}", corpus.string()),
                                                "{o}", path.string());
            const CommandResult made = RunCommand(command);
            ASSERT_EQ(made.exitCode, 0) << command << "\n" << made.output;
            const FaxPage coded = ReadFaxPage(path);
            const std::string strip = (c.coder ? GhostscriptCoding(coded, c.coder, dir) : coded.strip) + c.tail;
            if (strip != coded.strip) {
                // libtiff writes the new strip and the directory again.
                TIFF* tiff = TIFFOpen(path.c_str(), "r+");
                ASSERT_TRUE(tiff);
                std::string bytes = strip;
                TIFFWriteRawStrip(tiff, 0, bytes.data(), static_cast<tmsize_t>(bytes.size()));
                TIFFClose(tiff);
            }
            ASSERT_EQ(ReadFaxPage(path).strip, strip);
        }
        const FaxPage page = ReadFaxPage(path);
        const auto picture = LoadTiffFile(path.string(), 0);
        EXPECT_EQ(picture->Record().Encoding == TImageEncoding::CCITTFax, c.passed);
        const fs::path pdf = dir / "fax.pdf", shown = dir / "shown";
        WritePdf(picture->Record(), pdf);
        for (const auto& [tool, reader] : kReaders) {
            if (!Installed(tool)) continue;
            fs::remove(shown);
            const CommandResult run = RunCommand(
                Replace(Replace(reader, "{pdf}", ShellQuote(pdf.string())), "{out}", ShellQuote(shown.string())));
            EXPECT_EQ(run.exitCode, 0) << tool << "\n" << run.output;
            EXPECT_TRUE(QImage(QString::fromStdString(shown.string())).convertToFormat(QImage::Format_Grayscale8) == page.shown)
                << tool << " shows other pixels";
        }
    }
    // Every corpus page carried as it is has its row.
    for (const auto& entry : fs::directory_iterator(corpus)) {
        try {
            if (LoadTiffFile(entry.path().string(), 0)->Record().Encoding != TImageEncoding::CCITTFax) continue;
        } catch (const Exception&) {
            continue;
        }
        EXPECT_TRUE(std::any_of(std::begin(kCases), std::end(kCases),
                                [&](const Case& c) { return !c.make && entry.path().filename() == c.file; }))
            << entry.path();
    }
}

}  // namespace
}  // namespace tovra::test
