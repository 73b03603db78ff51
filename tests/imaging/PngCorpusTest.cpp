// The PNG reader against the PNG corpus: every PngSuite and libpng test picture loads, passes
// through where a PDF can take its data, and shows on the screen as Pillow decodes it; every
// damaged file is refused with a message naming it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "ImageTestHelpers.h"
#include "PngReader.h"
#include "TestSupport.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> PngsIn(const std::vector<std::string>& folders) {
    std::vector<std::string> files;
    for (const std::string& folder : folders)
        for (const auto& entry : fs::directory_iterator(CorpusPath(folder)))
            if (entry.path().extension() == ".png") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Pixels that differ from Pillow's 8-bit RGBA (alpha ignored when Pillow cannot know it).
int Differences(const QImage& decoded, const std::string& reference, bool alphaKnown) {
    const QImage image = decoded.convertToFormat(QImage::Format_RGBA8888);
    int differing = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto* got = image.constScanLine(y) + 4 * x;
            const auto* want = reinterpret_cast<const unsigned char*>(reference.data()) + 4 * (y * image.width() + x);
            differing += !std::equal(got, got + (alphaKnown ? 4 : 3), want);
        }
    return differing;
}

TEST(PngCorpus, EveryGoodFileDecodesAsPillowDecodesIt) {
    REQUIRE_CORPUS();
    const std::vector<std::string> files =
        PngsIn({"png/pngsuite", "png/pngsuite/interlaced", "png/testpngs", "png/testpngs/png-3"});
    TempDir dir;
    std::string command = "/usr/bin/python3 " + ShellQuote(TOVRA_PNG_REFERENCE) + " " + ShellQuote(dir.Path().string());
    for (const std::string& file : files) command += " " + ShellQuote(file);
    const CommandResult pillow = RunCommand(command);
    ASSERT_EQ(pillow.exitCode, 0) << pillow.output;

    std::istringstream index(ReadFileBytes(dir / "index.tsv"));
    std::string line;
    int n = 0;
    for (; std::getline(index, line); ++n) {
        std::istringstream fields(line);
        std::string path;
        int width = 0, height = 0, alphaKnown = 0;
        fields >> path >> width >> height >> alphaKnown;
        SCOPED_TRACE(path);
        const std::unique_ptr<TRecordImage> image = LoadPngFile(path);
        const TImageRecord& record = image->Record();
        ASSERT_EQ(record.Width, width);
        ASSERT_EQ(record.Height, height);
        // The record's samples, pass-through data, colour keys and 16-bit samples are compared
        // with Pillow's through the PDF by CliCorpusKinds.EveryGoodPngIsOnItsPageAsPillowDecodesIt;
        // here every file goes through the reader (under the sanitizers too) and the screen
        // decoder, which only this test checks.
        const std::string file = ReadFileBytes(path);
        const bool interlaced = file[28] == 1, alpha = (file[25] & 4) != 0;
        EXPECT_EQ(record.Encoding, interlaced || alpha ? TImageEncoding::Samples : TImageEncoding::Flate);
        const QImage screen = image->ScreenImage(0);
        ASSERT_EQ(screen.size(), QSize(width, height));
        EXPECT_EQ(Differences(screen, ReadFileBytes(dir / (std::to_string(n) + ".rgba")), alphaKnown), 0);
    }
    EXPECT_EQ(n, static_cast<int>(files.size()));
}

TEST(PngCorpus, EveryDamagedFileIsRefusedWithAMessageNamingIt) {
    REQUIRE_CORPUS();
    // Why some of them are refused; the others are chunks running past the end of the file.
    const std::vector<std::pair<std::string, std::string>> reasons = {
        {"crashers/badcrc.png", "bad CRC in the IDAT chunk at offset 33"},
        {"crashers/bad_iCCP.png", "bad CRC in the IHDR chunk"},
        {"crashers/badadler.png", "bad Adler-32 checksum of the image data"},
        {"crashers/huge_IDAT.png", "the file is truncated (the IDAT chunk at offset 33 claims 1073741823 bytes"},
        {"crashers/empty_ancillary_chunks.png", "is a second colour profile"},
        {"badpal/small-palette-1.png", "palette shorter than the indices used (index 1 in a palette of 1 colours)"},
        {"badpal/regression-palette-8.png", "palette shorter than the indices used"},
    };
    int refused = 0;
    for (const std::string& path : PngsIn({"png/testpngs/crashers", "png/testpngs/badpal"})) {
        SCOPED_TRACE(path);
        try {
            LoadPngFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Cannot read PNG file \"" + path + "\": ", 0), 0u) << message;
            for (const auto& [file, reason] : reasons) {
                if (path.ends_with(file)) {
                    EXPECT_NE(message.find(reason), std::string::npos) << message;
                }
            }
            ++refused;
        }
    }
    EXPECT_EQ(refused, 32);
}

}  // namespace
}  // namespace tovra::test
