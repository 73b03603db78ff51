// Compact mode keeps every pixel: each BMP, GIF, PNG and TIFF of the shared corpus that decodes goes
// into one default and one compact PDF, and poppler decodes every image of the two (soft masks
// included) to the same pixels.
#include <gtest/gtest.h>

#include <algorithm>

#include "ConversionFixtures.h"
#include "PdfReadBack.h"
#include "TestSupport.h"
#include "convert/CreationRun.h"
#include "convert/ImageKinds.h"
#include "imaging/ImageFormats.h"
#include "report/PReport.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

// The corpus's bitmap files that decode (damaged ones are refused alike in both modes).
std::vector<TPDFImage> DecodableBitmaps(const fs::path& corpus) {
    std::vector<fs::path> files;
    for (const char* folder : {"bmpsuite", "gif", "png", "tiff"})
        for (const auto& entry : fs::recursive_directory_iterator(corpus / folder)) {
            const TImageKind kind = ImageKindOfFile(entry.path().string());
            if (!entry.is_regular_file() || (kind != ikBMP && kind != ikGIF && kind != ikPNG && kind != ikTIFF))
                continue;
            try {
                FormatOfKind(kind)->Load(entry.path().string(), 0);
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

    // Every image poppler wrote from the default file, pixels and masks, is there alike from the
    // compact one.
    int images = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("default-", 0) != 0) continue;
        SCOPED_TRACE(name);
        const std::string twin = "compact-" + name.substr(8);
        EXPECT_TRUE(test::ReadFileBytes(dir / twin) == test::ReadFileBytes(entry.path()));
        ++images;
    }
    EXPECT_GT(images, static_cast<int>(entries.size()));  // the masks of PNG and TIFF pictures too
    // Compact mode predicts the 8-bit grey and RGB pictures the default deflates as they are.
    const auto predictions = [](const std::string& pdf) {
        std::size_t count = 0;
        for (std::size_t at = 0; (at = pdf.find("/Predictor 15", at)) != std::string::npos; ++at) ++count;
        return count;
    };
    EXPECT_GT(predictions(compact), predictions(plain) + 10);
}

}  // namespace
}  // namespace tovra
