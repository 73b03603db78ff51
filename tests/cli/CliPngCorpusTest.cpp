// The PNG corpus through tovrapdf-cli and back out of the PDF: every picture that should
// decode is on its page with the samples Pillow decodes, masks included, the file's own IDAT
// data where it passes through, and renders as the picture laid on white; every damaged file
// is refused naming it, with no PDF left behind; the header names the version the pictures need.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "CliBatch.h"
#include "PdfImageReadBack.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

QImage Rgba(const std::string& pixels, int width, int height) {
    const auto* data = reinterpret_cast<const uchar*>(pixels.data());
    return QImage(data, width, height, width * 4, QImage::Format_RGBA8888).copy();
}

TEST(CliCorpusKinds, EveryGoodPngIsOnItsPageAsPillowDecodesIt) {
    if (CorpusDir().empty()) GTEST_SKIP() << "corpus absent";
    const TempDir dir;
    const std::vector<std::string> files =
        CorpusFiles({"png/pngsuite", "png/pngsuite/interlaced", "png/testpngs", "png/testpngs/png-3"}, ".png");
    std::string command = "/usr/bin/python3 " + ShellQuote(TOVRA_PNG_REFERENCE) + " " + ShellQuote(dir.Path().string());
    for (const std::string& file : files) command += " " + ShellQuote(file);
    const CommandResult pillow = RunCommand(command);
    ASSERT_EQ(pillow.exitCode, 0) << pillow.output;

    const fs::path pdf = dir / "png.pdf";
    const CommandResult run = CliBatch(pdf, files);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_QPDF_CLEAN(pdf);
    EXPECT_EQ(HeaderOf(pdf), "%PDF-1.5");
    const std::vector<TPdfPicture> pictures = PdfPictures(pdf);
    const TRendering rendering = RenderPages(pdf, dir.Path());
    const std::vector<fs::path>& pages = rendering.Pages;
    EXPECT_EQ(rendering.Messages, "");
    // The suite's pictures, in front of libpng's variants of a few, rendered exactly too.
    std::map<std::string, std::size_t> suiteIndex;
    for (std::size_t n = 0; n < files.size() && files[n].find("/pngsuite/") != std::string::npos; ++n)
        suiteIndex[fs::path(files[n]).filename()] = n;
    const std::vector<fs::path> exact = RenderPages(pdf, dir.Path(), true, 1, static_cast<int>(suiteIndex.size())).Pages;
    ASSERT_EQ(pictures.size(), files.size());
    ASSERT_EQ(pages.size(), files.size());
    ASSERT_EQ(exact.size(), suiteIndex.size());

    std::istringstream index(ReadFileBytes(dir / "index.tsv"));
    std::string line;
    for (std::size_t n = 0; std::getline(index, line); ++n) {
        std::istringstream fields(line);
        std::string path, key;
        int width = 0, height = 0, alphaKnown = 0;
        fields >> path >> width >> height >> alphaKnown >> key;
        SCOPED_TRACE(path);
        const TPdfPicture& picture = pictures[n];
        const std::string file = ReadFileBytes(path), prefix = (dir / std::to_string(n)).string();
        const int depth = file[24], colorType = file[25];
        const bool interlaced = file[28] == 1, alphaChannel = (colorType & 4) != 0;
        ASSERT_EQ(QSize(picture.Width, picture.Height), QSize(width, height));
        EXPECT_EQ(picture.Bits, depth);
        EXPECT_EQ(picture.Space, colorType == 3 ? "Indexed" : (colorType & 2) ? "DeviceRGB" : "DeviceGray");
        EXPECT_EQ(picture.Filters, std::vector<std::string>{"FlateDecode"});

        // Pass-through: the IDAT data as it is, with its predictor.
        if (!interlaced && !alphaChannel) {
            EXPECT_TRUE(picture.Raw == ReadFileBytes(prefix + ".idat")) << "not the IDAT data";
            const std::map<std::string, int> predictor = {
                {"Predictor", 15}, {"Colors", colorType == 2 ? 3 : 1}, {"BitsPerComponent", depth}, {"Columns", width}};
            EXPECT_EQ(picture.Parms, predictor);
        } else {
            EXPECT_TRUE(picture.Parms.empty());
        }

        // Samples, palette and masks against Pillow; 16-bit grey samples exactly.
        std::vector<int> colorKey;
        std::istringstream values(key == "-" ? "" : key);
        for (std::string v; std::getline(values, v, ',');) colorKey.insert(colorKey.end(), 2, std::stoi(v));
        EXPECT_EQ(picture.ColorKey, colorKey);
        const bool paletteAlpha = colorType == 3 && file.find("tRNS") != std::string::npos;
        EXPECT_EQ(picture.SoftMask != nullptr, alphaChannel || paletteAlpha);
        if (picture.SoftMask) {
            EXPECT_EQ(picture.SoftMask->Bits, alphaChannel ? depth : 8);
        }
        const QImage reference = Rgba(ReadFileBytes(prefix + ".rgba"), width, height);
        EXPECT_EQ(PixelsApart(ComposedPicture(picture), reference, 0, alphaKnown), 0);
        if (fs::exists(prefix + ".g16")) {
            EXPECT_TRUE(picture.Samples == ReadFileBytes(prefix + ".g16")) << "16-bit samples differ";
        }

        // An interlaced picture of the suite holds exactly the samples of its twin, 16-bit ones
        // included, which Pillow only gives as 8 bits (the twin's data passes through unless it
        // has alpha). Palettes may be in another order.
        const std::string name = fs::path(path).filename();
        const auto twin = suiteIndex.find(name.substr(1));
        if (name[0] == 'i' && twin != suiteIndex.end() && colorType != 3) {
            const TPdfPicture& other = pictures[twin->second];
            EXPECT_TRUE(picture.Samples == other.Samples) << "samples differ from " << twin->first;
            EXPECT_TRUE(!picture.SoftMask || (other.SoftMask && picture.SoftMask->Samples == other.SoftMask->Samples))
                << "alpha differs from " << twin->first;
        }

        // The page shows the picture laid on white.
        PictureOnPage(pages[n], QSize(width, height));
        if (alphaKnown && n < exact.size()) {
            EXPECT_EQ(PixelsApart(PictureOnPage(exact[n], QSize(width, height)), LaidOnWhite(reference), 1, false), 0);
        }
    }
}

TEST(CliCorpusKinds, EveryDamagedPngIsRefusedNamingIt) {
    if (CorpusDir().empty()) GTEST_SKIP() << "corpus absent";
    const TempDir dir;
    const std::vector<std::string> files = CorpusFiles({"png/testpngs/crashers", "png/testpngs/badpal"}, ".png");
    EXPECT_EQ(files.size(), 32u);
    for (const std::string& file : files) ExpectRefused(dir.Path(), file, "PNG", "");
}

TEST(CliCorpusKinds, TheHeaderNamesTheVersionThePicturesNeed) {
    if (CorpusDir().empty()) GTEST_SKIP() << "corpus absent";
    const struct {
        std::vector<std::string> files;
        const char* header;
    } cases[] = {
        {{"basn0g08.png", "basn3p08.png", "basn2c08.png"}, "%PDF-1.2"},  // carried as they are
        {{"basn0g08.png", "ibasn2c08.png"}, "%PDF-1.2"},                 // decoded
        {{"basn0g08.png", "ftbrn2c08.png"}, "%PDF-1.3"},                 // a colour key
        {{"ftbbn3p08.png", "basn0g08.png"}, "%PDF-1.4"},                 // a palette's alpha
        {{"basn6a08.png", "ftbrn2c08.png"}, "%PDF-1.4"},                 // an alpha channel
        {{"basn0g08.png", "basn0g16.png"}, "%PDF-1.5"},                  // 16-bit samples
        {{"basn4a16.png"}, "%PDF-1.5"},                                  // 16-bit alpha
    };
    const TempDir dir;
    for (const auto& c : cases) {
        std::vector<std::string> paths;
        for (const std::string& file : c.files) paths.push_back((CorpusDir() / "png/pngsuite" / file).string());
        SCOPED_TRACE(c.files.back());
        const CommandResult run = CliBatch(dir / "version.pdf", paths, "-f");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(HeaderOf(dir / "version.pdf"), c.header);
        EXPECT_QPDF_CLEAN(dir / "version.pdf");
    }
}

}  // namespace
}  // namespace tovra::test
