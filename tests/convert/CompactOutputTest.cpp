// Compact mode keeps every pixel: each BMP and GIF of the shared corpus that decodes goes into one
// default and one compact PDF, and the image streams of the two decode to the same samples, by
// qpdf and by poppler alike. Grey and RGB pictures are the ones predicted.
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

// The corpus's BMP and GIF files that decode, in name order.
std::vector<fs::path> DecodableBitmaps(const fs::path& corpus) {
    std::vector<fs::path> files;
    for (const char* folder : {"bmpsuite", "gif"}) {
        for (const auto& entry : fs::recursive_directory_iterator(corpus / folder)) {
            const TImageKind kind = ImageKindOfFile(entry.path().string());
            if (!entry.is_regular_file() || (kind != ikBMP && kind != ikGIF)) continue;
            try {
                LoadPictureFile(entry.path().string());
                files.push_back(entry.path());
            } catch (const std::exception&) {
                // Damaged on purpose: refused alike in both modes, and not part of this test.
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void Build(const std::vector<TPDFImage>& entries, const fs::path& out, bool compact) {
    std::vector<const TPDFImage*> rows;
    for (const TPDFImage& entry : entries) rows.push_back(&entry);
    TPReport report;
    ConfigureReport(report);
    TCreateOptions options;
    options.Build.CompactBitmaps = compact;
    CreatePdf(report, rows, out.string(), options);
}

std::string Decoded(const fs::path& pdf, int object) {
    return test::RunCommand("qpdf --show-object=" + std::to_string(object) + " --filtered-stream-data " +
                            test::ShellQuote(pdf.string()))
        .output;
}

// The dictionary of an image object as the file holds it (our writer keeps them readable).
std::string ImageDictionary(const std::string& file, int object) {
    const std::size_t start = file.find("\n" + std::to_string(object) + " 0 obj\r\n");
    return start == std::string::npos ? std::string() : file.substr(start, file.find("\r\nstream\r\n", start) - start);
}

TEST(CompactOutput, EveryCorpusBitmapKeepsItsPixels) {
    const fs::path corpus = test::CorpusDir();
    if (corpus.empty()) GTEST_SKIP() << "the shared corpus is not there";
    const std::vector<fs::path> files = DecodableBitmaps(corpus);
    ASSERT_GE(files.size(), 60u);
    std::vector<TPDFImage> entries;
    for (const fs::path& file : files)
        entries.push_back(test::LetterEntry(file.string(), ImageKindOfFile(file.string()), smFullSize));

    test::TempDir dir;
    const fs::path plain = dir / "default.pdf", compact = dir / "compact.pdf";
    Build(entries, plain, false);
    Build(entries, compact, true);
    EXPECT_QPDF_CLEAN(compact);
    EXPECT_LT(fs::file_size(compact), fs::file_size(plain));

    const std::vector<test::TListedImage> images = test::ListImages(compact);
    const std::vector<test::TListedImage> plainImages = test::ListImages(plain);
    ASSERT_EQ(images.size(), files.size());
    ASSERT_EQ(plainImages.size(), files.size());
    const std::string compactFile = test::ReadFileBytes(compact);
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].string());
        const test::TListedImage& image = images[i];
        ASSERT_EQ(image.Object, plainImages[i].Object);
        EXPECT_EQ(image.Color, plainImages[i].Color);
        const std::string samples = Decoded(plain, image.Object);
        EXPECT_FALSE(samples.empty());
        EXPECT_TRUE(Decoded(compact, image.Object) == samples);
        const std::string dict = ImageDictionary(compactFile, image.Object);
        EXPECT_EQ(dict.find("/Predictor 15") != std::string::npos, image.Color == "rgb" || image.Color == "gray");
    }

    // poppler decodes every image of both files to the same pixels as well.
    test::RunCommand("pdfimages " + test::ShellQuote(plain.string()) + " " + test::ShellQuote((dir / "d").string()));
    test::RunCommand("pdfimages " + test::ShellQuote(compact.string()) + " " + test::ShellQuote((dir / "c").string()));
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("d-", 0) != 0) continue;
        SCOPED_TRACE(name);
        EXPECT_TRUE(test::ReadFileBytes(entry.path()) == test::ReadFileBytes(dir / ("c-" + name.substr(2))));
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(files.size()));
}

}  // namespace
}  // namespace tovra
