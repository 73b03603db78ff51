// The PNG reader against the PNG corpus: every PngSuite and libpng test picture decodes to
// what Pillow decodes (pass-through data inflated here, masks and colour keys applied), its
// IDAT data carried byte for byte where a PDF can take it; every damaged file is refused
// with a message naming it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ImageTestHelpers.h"
#include "PngReader.h"
#include "PngTestHelpers.h"
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

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

    std::istringstream index(Slurp(dir / "index.tsv"));
    std::string line;
    int n = 0, passedThrough = 0;
    for (; std::getline(index, line); ++n) {
        std::istringstream fields(line);
        std::string path, key;
        int width = 0, height = 0, alphaKnown = 0;
        fields >> path >> width >> height >> alphaKnown >> key;
        SCOPED_TRACE(path);
        const std::unique_ptr<TRecordImage> image = LoadPngFile(path);
        const TImageRecord& record = image->Record();
        ASSERT_EQ(record.Width, width);
        ASSERT_EQ(record.Height, height);
        const std::string rgba = Slurp(dir / (std::to_string(n) + ".rgba"));

        // Pass-through exactly for the pictures a PDF predictor can carry: the IDAT data itself.
        const std::string file = Slurp(path);
        const bool interlaced = file[28] == 1, alpha = (file[25] & 4) != 0;
        ASSERT_EQ(record.Encoding, interlaced || alpha ? TImageEncoding::Samples : TImageEncoding::Flate);
        if (record.Encoding == TImageEncoding::Flate) {
            ++passedThrough;
            ASSERT_TRUE(record.Source);
            EXPECT_EQ(record.Source->Path, path);
            std::string carried;
            for (const TFileSlice& slice : record.Slices) carried += file.substr(slice.Offset, slice.Length);
            EXPECT_EQ(carried, Slurp(dir / (std::to_string(n) + ".idat")));
            std::vector<std::pair<std::string, int>> parms;
            for (const TDecodeParm& parm : record.DecodeParms) parms.emplace_back(parm.Key, parm.Value);
            EXPECT_EQ(parms, (std::vector<std::pair<std::string, int>>{
                                 {"Predictor", 15}, {"Colors", record.Color == TColorModel::RGB ? 3 : 1},
                                 {"BitsPerComponent", file[24]}, {"Columns", width}}));
        }

        const TImageRecord samples = AsSamples(record);
        EXPECT_EQ(Differences(SamplesToImage(samples, 0), rgba, alphaKnown), 0);
        EXPECT_EQ(Differences(image->ScreenImage(0), rgba, alphaKnown), 0) << "screen";
        if (fs::exists(dir / (std::to_string(n) + ".g16"))) {
            EXPECT_EQ(record.BitsPerComponent, 16);
            EXPECT_EQ(*samples.Bytes, Slurp(dir / (std::to_string(n) + ".g16")));
        }
        std::vector<std::int32_t> expectedKey;
        std::istringstream values(key == "-" ? "" : key);
        for (std::string v; std::getline(values, v, ',');) expectedKey.insert(expectedKey.end(), 2, std::stoi(v));
        EXPECT_EQ(record.ColorKeyMask, expectedKey);
    }
    EXPECT_EQ(n, static_cast<int>(files.size()));
    EXPECT_GT(passedThrough, n / 3);
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
