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
    const char* file;    // in the corpus folder, or made by `make` in a temporary folder
    const char* make;    // shell command: {c} the corpus folder, {o} the file to make, {pil} Pillow
    const char* coder;   // Ghostscript's CCITTFaxEncode parameters to code the strip again with
    const char* tail;    // bytes added after the strip
    bool passed;         // carried as it is (else decoded)
};

const char* const kScan = "{c}/testfax4.tiff";  // a 300 dpi scanned page, 2453 x 3369
const char* const kSmall = "{c}/miniswhite-1c-1b.tiff";

const Case kCases[] = {
    // A scanner's Group 4 data whose rows run past the page's width: libtiff cuts them silently,
    // other readers break off.
    {"testfax4.tiff", nullptr, nullptr, "", false},
    // libtiff's codings of the scan and of a small picture, each option.
    {"scan-g4.tif", "tiffcp -c g4 -r 99999 {s} {o}", nullptr, "", true},
    {"g3-1d.tif", "tiffcp -c g3:1d {m} {o}", nullptr, "", true},
    {"scan-g3-2d-fill.tif", "tiffcp -c g3:2d:fill -r 99999 {s} {o}", nullptr, "", true},
    {"g3-1d-fill.tif", "tiffcp -c g3:1d:fill {m} {o}", nullptr, "", true},
    {"g3-2d.tif", "tiffcp -c g3:2d {m} {o}", nullptr, "", true},
    {"rle-black0.tif", "{pil}Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='tiff_ccitt')\"", nullptr, "", true},
    {"g4-black0.tif", "{pil}Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='group4')\"", nullptr, "", true},
    // Another coder: the same canonical Group 4 and 1-D codes, with or without the end of block.
    {"scan-g4-gs.tif", "tiffcp -c g4 -r 99999 {s} {o}", "/K -1 /EndOfBlock true", "", true},
    {"g4-gs-no-eofb.tif", "tiffcp -c g4 {m} {o}", "/K -1 /EndOfBlock false", "", true},
    {"g3-1d-gs.tif", "tiffcp -c g3:1d {m} {o}", "/K 0 /EndOfLine true /EndOfBlock false", "", true},
    {"rle-gs.tif", "{pil}Image.open('{c}/miniswhite-1c-1b.pbm').save('{o}', compression='tiff_ccitt')\"",
     "/K 0 /EncodedByteAlign true /EndOfBlock false", "", true},
    // Valid 2-D Group 3 with one 1-D row in 2, where libtiff codes one in 4 at 300 dpi: decoded.
    {"scan-g3-2d-k2.tif", "tiffcp -c g3:2d -r 99999 {s} {o}", "/K 2 /EndOfLine true /EndOfBlock false", "", false},
    // Bytes after the data: zeros are harmless, anything else is not the coding of the rows.
    {"g4-zeros.tif", "tiffcp -c g4 {m} {o}", nullptr, "\0\0\0\0\0\0\0\0\0", true},
    {"g4-garbage.tif", "tiffcp -c g4 {m} {o}", nullptr, "\x5A\xA5", false},
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

bool Installed(const std::string& tool) { return RunCommand("command -v " + tool).exitCode == 0; }

// A single-strip fax page as libtiff reads it.
struct FaxPage {
    std::uint32_t width = 0, height = 0;
    bool minIsWhite = true;
    std::string strip;  // raw
    std::string rows;   // decoded, 1 bit per pixel
};

FaxPage ReadFaxPage(const fs::path& path) {
    FaxPage page;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return page;
    std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &page.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &page.height);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    page.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    page.strip.resize(static_cast<std::size_t>(TIFFGetStrileByteCount(tiff, 0)));
    TIFFReadRawStrip(tiff, 0, page.strip.data(), static_cast<tmsize_t>(page.strip.size()));
    const auto rowBytes = static_cast<std::size_t>(TIFFScanlineSize(tiff));
    page.rows.resize(rowBytes * page.height);
    for (std::uint32_t y = 0; y < page.height; ++y) TIFFReadScanline(tiff, page.rows.data() + rowBytes * y, y, 0);
    TIFFClose(tiff);
    return page;
}

// Rewrites the file with another strip, every other field kept.
void ReplaceStrip(const fs::path& path, const std::string& strip) {
    TIFF* in = TIFFOpen(path.c_str(), "r");
    const fs::path changed = path.string() + ".new";
    TIFF* out = TIFFOpen(changed.c_str(), "w");
    ASSERT_TRUE(in && out);
    // The compression first: it makes the Group 3 options a known field.
    for (const ttag_t tag : {TIFFTAG_COMPRESSION, TIFFTAG_BITSPERSAMPLE, TIFFTAG_PHOTOMETRIC, TIFFTAG_RESOLUTIONUNIT}) {
        std::uint16_t value = 0;
        if (TIFFGetField(in, tag, &value)) TIFFSetField(out, tag, value);
    }
    for (const ttag_t tag : {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH, TIFFTAG_ROWSPERSTRIP, TIFFTAG_GROUP3OPTIONS}) {
        std::uint32_t value = 0;
        if (TIFFGetField(in, tag, &value)) TIFFSetField(out, tag, value);
    }
    for (const ttag_t tag : {TIFFTAG_XRESOLUTION, TIFFTAG_YRESOLUTION}) {
        float value = 0;
        if (TIFFGetField(in, tag, &value)) TIFFSetField(out, tag, value);
    }
    std::string bytes = strip;
    EXPECT_EQ(TIFFWriteRawStrip(out, 0, bytes.data(), static_cast<tmsize_t>(bytes.size())), static_cast<tmsize_t>(bytes.size()));
    TIFFClose(out);
    TIFFClose(in);
    fs::rename(changed, path);
}

// The rows coded by Ghostscript's own CCITT coder with the given parameters.
std::string GhostscriptCoding(const FaxPage& page, const std::string& parameters, const TempDir& dir) {
    WriteFileBytes(dir / "rows.bin", page.rows);
    std::ofstream program(dir / "code.ps");
    program << "/in (" << (dir / "rows.bin").string() << ") (r) file def\n"
            << "/out (" << (dir / "coded.bin").string() << ") (w) file def\n"
            << "/coder out << " << parameters << " /Columns " << page.width << " /Rows " << page.height
            << " /BlackIs1 " << (page.minIsWhite ? "true" : "false") << " >> /CCITTFaxEncode filter def\n"
            << "/row " << (page.width + 7) / 8 << " string def\n"
            << page.height << " { in row readstring pop coder exch writestring } repeat\n"
            << "coder closefile out closefile\n";
    program.close();
    const CommandResult run = RunCommand("gs -q -dNODISPLAY -dNOPAUSE -dBATCH -dNOSAFER " + ShellQuote((dir / "code.ps").string()));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return ReadFileBytes(dir / "coded.bin");
}

// A one-page PDF, the page the picture's size, showing the page's record.
void WritePdf(const TImageRecord& record, const fs::path& pdf) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    TPdfCanvas& canvas = *doc.GetCanvas();
    canvas.SetPageWidth(record.Width);
    canvas.SetPageHeight(record.Height);
    doc.AddImage("Fax", MakeRecordImage(record, {}, "TIFF"));
    canvas.DrawXObject(0, 0, static_cast<float>(record.Width), static_cast<float>(record.Height), "Fax");
    WriteFileBytes(pdf, Saved(doc));
}

// What a reader shows: poppler's decoding of the image (pdftoppm smooths images drawn 1:1, its
// image extractor does not), MuPDF's and Ghostscript's rendering of the page at 72 dpi.
struct Reader {
    const char* tool;
    const char* command;  // {pdf}, {out}
};
const Reader kReaders[] = {
    {"pdfimages", "pdfimages {pdf} {out} && mv {out}-000.p?m {out}"},
    {"mutool", "mutool draw -q -c gray -r 72 -o {out} {pdf}"},
    {"gs", "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pgmraw -r72 -sOutputFile={out} {pdf}"},
};

// The number of pixels where the reader's picture is not the page's rows shown black on white.
std::int64_t DifferentPixels(const QImage& shown, const FaxPage& page) {
    if (shown.width() != static_cast<int>(page.width) || shown.height() != static_cast<int>(page.height)) return -1;
    const QImage grey = shown.convertToFormat(QImage::Format_Grayscale8);
    const std::size_t rowBytes = (page.width + 7) / 8;
    std::int64_t differ = 0;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            const bool set = (page.rows[rowBytes * static_cast<std::size_t>(y) + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1;
            differ += (grey.constScanLine(y)[x] < 128) != (set == page.minIsWhite);
        }
    return differ;
}

TEST(PdfFaxReaders, EveryFaxPageShowsInEveryReaderAsLibtiffDecodesIt) {
    const fs::path corpus = CorpusDir() / "tiff";
    if (CorpusDir().empty() || !fs::is_directory(corpus)) GTEST_SKIP() << "corpus absent";
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    const bool ghostscript = Installed("gs");
    const TempDir dir;
    int checked = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        fs::path path = corpus / c.file;
        if (c.make) {
            if (c.coder && !ghostscript) continue;
            path = dir / c.file;
            const std::string command =
                Replace(Replace(Replace(Replace(Replace(c.make, "{s}", kScan), "{m}", kSmall), "{pil}",
                                        "/usr/bin/python3 -c \"from PIL import Image; "),
                                "{c}", corpus.string()),
                        "{o}", path.string());
            const CommandResult made = RunCommand(command);
            ASSERT_EQ(made.exitCode, 0) << command << "\n" << made.output;
            const FaxPage coded = ReadFaxPage(path);
            const std::string strip = (c.coder ? GhostscriptCoding(coded, c.coder, dir) : coded.strip) + c.tail;
            if (strip != coded.strip) ReplaceStrip(path, strip);
            ASSERT_EQ(ReadFaxPage(path).strip, strip);
        }
        const FaxPage page = ReadFaxPage(path);
        ASSERT_FALSE(page.rows.empty());
        fs::copy_file(path, "/tmp/faxwork/dbg-" + std::string(c.file), fs::copy_options::overwrite_existing);
        const auto picture = LoadTiffFile(path.string(), 0);
        const TImageRecord& record = picture->Record();
        EXPECT_EQ(record.Encoding == TImageEncoding::CCITTFax, c.passed);
        const fs::path pdf = dir / "fax.pdf";
        WritePdf(record, pdf);
        for (const Reader& reader : kReaders) {
            if (!Installed(reader.tool)) continue;
            const fs::path shown = dir / "shown";
            fs::remove(shown);
            const std::string command =
                Replace(Replace(reader.command, "{pdf}", ShellQuote(pdf.string())), "{out}", ShellQuote(shown.string()));
            const CommandResult run = RunCommand(command);
            EXPECT_EQ(run.exitCode, 0) << command << "\n" << run.output;
            EXPECT_EQ(DifferentPixels(QImage(QString::fromStdString(shown.string())), page), 0) << reader.tool;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
    // Every fax page of the corpus that can be read has its row.
    for (const auto& entry : fs::directory_iterator(corpus)) {
        TIFF* tiff = TIFFOpen(entry.path().c_str(), "r");
        if (!tiff) continue;
        std::uint16_t compression = 0;
        TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
        TIFFClose(tiff);
        if (compression < COMPRESSION_CCITTRLE || compression > COMPRESSION_CCITTFAX4) continue;
        bool readable = true;
        try {
            LoadTiffFile(entry.path().string(), 0);
        } catch (const Exception&) {
            readable = false;  // refused as damaged: the TIFF corpus test checks the message
        }
        const bool listed = std::any_of(std::begin(kCases), std::end(kCases),
                                        [&](const Case& c) { return !c.make && entry.path().filename() == c.file; });
        EXPECT_TRUE(listed || !readable) << entry.path().filename() << " has no row";
    }
}

}  // namespace
}  // namespace tovra::test
