// Compact mode keeps every pixel: each BMP and GIF of the shared corpus that decodes goes into one
// default and one compact PDF, and poppler decodes every image of the two to the same pixels.
#include <gtest/gtest.h>

#include <algorithm>

#include "ConversionFixtures.h"
#include "PdfReadBack.h"
#include "TestSupport.h"
#include "convert/CreationRun.h"
#include "convert/ImageKinds.h"
#include "imaging/ImageLoaders.h"
#include "report/PReport.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

// The corpus's BMP and GIF files that decode (damaged ones are refused alike in both modes).
std::vector<TPDFImage> DecodableBitmaps(const fs::path& corpus) {
    std::vector<fs::path> files;
    for (const char* folder : {"bmpsuite", "gif"})
        for (const auto& entry : fs::recursive_directory_iterator(corpus / folder)) {
            const TImageKind kind = ImageKindOfFile(entry.path().string());
            if (!entry.is_regular_file() || (kind != ikBMP && kind != ikGIF)) continue;
            try {
                LoadPictureFile(entry.path().string());
                files.push_back(entry.path());
            } catch (const std::exception&) {
            }
        }
    std::sort(files.begin(), files.end());
    std::vector<TPDFImage> entries;
    for (const fs::path& file : files)
        entries.push_back(test::LetterEntry(file.string(), ImageKindOfFile(file.string()), smFullSize));
    return entries;
}

// The PDF of the entries, and poppler's decoding of its images as files named prefix-NNN.
std::string Build(const std::vector<TPDFImage>& entries, const test::TempDir& dir, const std::string& prefix,
                  bool compact) {
    std::vector<const TPDFImage*> rows;
    for (const TPDFImage& entry : entries) rows.push_back(&entry);
    TPReport report;
    ConfigureReport(report);
    TCreateOptions options;
    options.Build.CompactBitmaps = compact;
    const fs::path pdf = dir / (prefix + ".pdf");
    CreatePdf(report, rows, pdf.string(), options);
    EXPECT_QPDF_CLEAN(pdf);
    test::RunCommand("pdfimages " + test::ShellQuote(pdf.string()) + " " + test::ShellQuote((dir / prefix).string()));
    return test::ReadFileBytes(pdf);
}

TEST(CompactOutput, EveryCorpusBitmapKeepsItsPixels) {
    const fs::path corpus = test::CorpusDir();
    if (corpus.empty()) GTEST_SKIP() << "the shared corpus is not there";
    const std::vector<TPDFImage> entries = DecodableBitmaps(corpus);
    ASSERT_GE(entries.size(), 60u);
    test::TempDir dir;
    const std::string plain = Build(entries, dir, "default", false);
    const std::string compact = Build(entries, dir, "compact", true);
    EXPECT_LT(compact.size(), plain.size());

    // One row per picture: poppler's pixels of its image, the same in both files.
    const std::vector<test::TListedImage> images = test::ListImages(dir / "compact.pdf");
    ASSERT_EQ(images.size(), entries.size());
    int rgb = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i].FileName + " (" + images[i].Color + ")");
        char number[32];
        std::snprintf(number, sizeof number, "-%03zu", i);
        const std::string extension = images[i].Color == "gray" ? ".pgm" : ".ppm";
        const std::string pixels = test::ReadFileBytes(dir / ("default" + std::string(number) + extension));
        EXPECT_FALSE(pixels.empty());
        EXPECT_TRUE(test::ReadFileBytes(dir / ("compact" + std::string(number) + extension)) == pixels);
        rgb += images[i].Color == "rgb";
    }
    // Exactly the RGB pictures are predicted (BMP and GIF give no grey ones).
    std::size_t predicted = 0;
    for (std::size_t at = 0; (at = compact.find("/Predictor 15", at)) != std::string::npos; ++at) ++predicted;
    EXPECT_EQ(predicted, static_cast<std::size_t>(rgb));
    EXPECT_GT(rgb, 10);
}

}  // namespace
}  // namespace tovra
