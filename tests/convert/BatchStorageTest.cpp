// Where a run keeps image data between printing a page and writing the file, and what happens
// when that goes wrong: a full disk, or a JPEG that changes before the file is written. Either
// way the run fails with a message, an existing output stays as it was, and no temporary file
// is left behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include "ConversionFixtures.h"
#include "TestSupport.h"
#include "convert/CreationRun.h"
#include "report/PReport.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;
using test::LetterEntry;
using test::WriteSolid;

class BatchStorageTest : public ::testing::Test {
protected:
    BatchStorageTest() { ConfigureReport(report); }

    std::string Create(const std::vector<TPDFImage>& entries, TCreateOptions options = {}) {
        std::vector<const TPDFImage*> rows;
        for (const TPDFImage& entry : entries) rows.push_back(&entry);
        try {
            CreatePdf(report, rows, out.string(), options);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Path()), {}));
    }

    test::TempDir dir;
    fs::path out = dir / "out.pdf";
    TPReport report;
};

QImage Noise(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    unsigned state = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            image.setPixel(x, y, static_cast<QRgb>(state >> 8) | 0xff000000u);
        }
    return image;
}

TEST_F(BatchStorageTest, AJpegChangedBeforeTheFileIsWrittenFailsTheRun) {
    const std::string photo = WriteSolid(dir / "a.jpg", 64, 48, 0xff3060c0);
    const std::string later = WriteSolid(dir / "b.jpg", 32, 32, 0xffc03030);
    test::WriteFileBytes(out, "the previous file");
    const std::vector<TPDFImage> entries = {LetterEntry(photo, ikJPEG, smFit), LetterEntry(later, ikJPEG, smFit)};
    TCreateOptions options;
    // The first page is printed when the second row comes up: change its file then.
    options.Build.OnRow = [&](int index, int, const TPDFImage&) {
        if (index == 1) WriteSolid(photo, 640, 480, 0xff00ff00);
    };
    EXPECT_EQ(Create(entries, options),
              "Cannot read JPEG file \"" + photo + "\": the file has changed since it was loaded");
    EXPECT_EQ(test::ReadFileBytes(out), "the previous file");
    EXPECT_EQ(FilesInFolder(), 3u);  // the pictures and the old output, nothing else
    EXPECT_FALSE(report.HasDocument());

    // Unchanged, the same entries convert.
    EXPECT_EQ(Create(entries), "");
    EXPECT_QPDF_CLEAN(out);
}

TEST_F(BatchStorageTest, AFullDiskFailsTheRunAndKeepsTheOldFile) {
    std::vector<TPDFImage> entries;
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp"}) {
        samples::SaveBmp(Noise(300, 200), (dir / name).string());
        entries.push_back(LetterEntry((dir / name).string(), ikBMP, smFit));
    }
    test::WriteFileBytes(out, "the previous file");
    // A file size limit stands in for a full disk: the image data of the first pages does not fit.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string failure = Create(entries);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);

    EXPECT_EQ(failure, "Cannot store image data in a temporary file in " + dir.Path().string() + ": File too large");
    EXPECT_EQ(test::ReadFileBytes(out), "the previous file");
    EXPECT_EQ(FilesInFolder(), 4u);
    EXPECT_FALSE(report.HasDocument());
}

}  // namespace
}  // namespace tovra
