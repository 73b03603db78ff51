// The whole file of a mixed run compared byte for byte with a file written by an earlier build:
// object numbers and order, dictionaries, stream bytes and the cross-reference table must not
// change when the way the engine stores and writes image data changes.
//
// The pictures are computed pixel by pixel and written by our own BMP writer and giflib; the
// JPEG is a committed file beside the golden PDF, so that a different JPEG encoder cannot
// change the input. Set TOVRA_UPDATE_GOLDEN=1 to write the golden file again (only when the
// output is meant to change).
#include <gtest/gtest.h>

#include <cstdlib>

#include <QImage>

#include "ConversionFixtures.h"
#include "TestSupport.h"
#include "convert/CreationRun.h"
#include "report/PRImage.h"
#include "report/PReport.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = TOVRA_GOLDEN_DIR;

// Fixes the image-name seed for the test and lets it go again.
class FixedNameSeed {
public:
    FixedNameSeed() { TPRImage::SetNameSeed(7); }
    ~FixedNameSeed() { TPRImage::SetNameSeed(std::nullopt); }
    FixedNameSeed(const FixedNameSeed&) = delete;
    FixedNameSeed& operator=(const FixedNameSeed&) = delete;
};

// Colours from a formula, so that no painting code is involved.
QImage RgbPattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 11) & 0xFF, (x * y) & 0xFF));
    return image;
}

// A palette picture with its own table of `colours` entries.
QImage IndexedPattern(int width, int height, int colours) {
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i) table.push_back(qRgb(i * 37 & 0xFF, 255 - i * 5, i * 13 & 0xFF));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, static_cast<uint>((x / 3 + y / 2) % colours));
    return image;
}

TPDFImage Entry(const fs::path& file, TImageKind kind, TSizeMethod sizing) {
    return test::LetterEntry(file.string(), kind, sizing);
}

TEST(GoldenOutput, MixedBatchIsByteForByteTheSame) {
    test::TempDir dir;
    samples::SaveBmp(RgbPattern(48, 30), (dir / "rgb.bmp").string());
    samples::SaveBmp(IndexedPattern(40, 25, 20), (dir / "palette.bmp").string(), true);
    samples::SaveGif(IndexedPattern(30, 20, 9), (dir / "anim.gif").string());
    samples::SaveBmp(RgbPattern(900, 20), (dir / "wide.bmp").string());
    const fs::path photo = kGoldenDir / "mixed_batch_photo.jpg";
    ASSERT_TRUE(fs::exists(photo));

    std::vector<TPDFImage> entries = {
        Entry(photo, ikJPEG, smFit),
        Entry(dir / "rgb.bmp", ikBMP, smFullSize),
        Entry(dir / "palette.bmp", ikBMP, smFit),
        Entry(dir / "anim.gif", ikGIF, smFullSize),
        Entry(dir / "wide.bmp", ikBMP, smFullSize),  // wider than the page: clipped
        Entry(photo, ikJPEG, smStretch),
        Entry(dir / "rgb.bmp", ikBMP, smFit),
    };
    ApplyPaper(entries[2], "A4", 595, 842, false);
    ApplyMargins(entries[5], 40, 10, 30, 5);

    std::vector<const TPDFImage*> rows;
    for (const TPDFImage& entry : entries) rows.push_back(&entry);

    const fs::path out = dir / "out.pdf";
    TPReport report;
    ConfigureReport(report);
    report.SetTitle("Golden Café");
    report.SetAuthor("Tovra tests");
    const test::TimeZone utc("UTC0");  // the dates' offset does not depend on the machine
    TCreateOptions options;
    options.Clock = [] { return EncodeDateTime(2021, 6, 5, 4, 3, 2); };
    {
        FixedNameSeed seed;
        CreatePdf(report, rows, out.string(), options);
    }
    const std::string written = test::ReadFileBytes(out);
    const fs::path golden = kGoldenDir / "mixed_batch.pdf";
    if (const char* update = std::getenv("TOVRA_UPDATE_GOLDEN"); update && std::string(update) == "1")
        test::WriteFileBytes(golden, written);
    EXPECT_QPDF_CLEAN(out);
    const std::string expected = test::ReadFileBytes(golden);
    ASSERT_EQ(written.size(), expected.size());
    // The first differing byte says more than two dumps of binary data.
    const auto mismatch = std::mismatch(written.begin(), written.end(), expected.begin());
    EXPECT_TRUE(mismatch.first == written.end())
        << "first difference at byte " << (mismatch.first - written.begin());
}

}  // namespace
}  // namespace tovra
