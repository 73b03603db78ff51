// The BMP reader against the public bmpsuite in the shared corpus: good files decode to
// exactly their reference pictures, questionable ones are read or refused as recorded
// here, bad ones are refused with a message naming the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "BmpReader.h"
#include "ImageLoaders.h"
#include "ImageTestHelpers.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

QImage Reference(const std::string& png) {
    return QImage(QString::fromStdString(CorpusPath("bmpsuite/html/" + png).string()));
}

struct GoodFile {
    const char* file;
    const char* reference;
};

const GoodFile kGoodFiles[] = {
    {"pal1.bmp", "pal1.png"},           {"pal1wb.bmp", "pal1.png"},
    {"pal1bg.bmp", "pal1bg.png"},       {"pal4.bmp", "pal4.png"},
    {"pal4gs.bmp", "pal4gs.png"},       {"pal4rle.bmp", "pal4.png"},
    {"pal8.bmp", "pal8.png"},           {"pal8-0.bmp", "pal8.png"},
    {"pal8gs.bmp", "pal8gs.png"},       {"pal8rle.bmp", "pal8.png"},
    {"pal8w126.bmp", "pal8w126.png"},   {"pal8w125.bmp", "pal8w125.png"},
    {"pal8w124.bmp", "pal8w124.png"},   {"pal8topdown.bmp", "pal8.png"},
    {"pal8nonsquare.bmp", "pal8nonsquare-e.png"},  // kept as stored, not stretched
    {"pal8os2.bmp", "pal8.png"},        {"pal8v4.bmp", "pal8.png"},
    {"pal8v5.bmp", "pal8.png"},         {"rgb16.bmp", "rgb16.png"},
    {"rgb16bfdef.bmp", "rgb16.png"},    {"rgb16-565.bmp", "rgb16-565.png"},
    {"rgb16-565pal.bmp", "rgb16-565.png"}, {"rgb24.bmp", "rgb24.png"},
    {"rgb24pal.bmp", "rgb24.png"},      {"rgb32.bmp", "rgb24.png"},
    {"rgb32bfdef.bmp", "rgb24.png"},    {"rgb32bf.bmp", "rgb24.png"},
};

TEST(BmpCorpus, EveryGoodFileDecodesToItsReferencePixels) {
    REQUIRE_CORPUS();
    int checked = 0;
    for (const GoodFile& g : kGoodFiles) {
        SCOPED_TRACE(g.file);
        const auto bitmap = LoadBmpFile(CorpusPath("bmpsuite/g/").string() + g.file);
        const QImage reference = Reference(g.reference);
        ASSERT_FALSE(reference.isNull());
        int maxDelta = 0;
        EXPECT_EQ(CountDifferentPixels(bitmap->Image(), reference, &maxDelta), 0) << "max delta " << maxDelta;
        ++checked;
    }
    // Every file of g/ is in the table.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(CorpusPath("bmpsuite/g"))) files += entry.path().extension() == ".bmp";
    EXPECT_EQ(files, checked);
}

TEST(BmpCorpus, PalettePicturesStayIndexedWithTheFilesColourTable) {
    REQUIRE_CORPUS();
    const struct {
        const char* file;
        int colors;
    } cases[] = {{"g/pal1bg.bmp", 2}, {"g/pal4.bmp", 12}, {"g/pal4rle.bmp", 12}, {"g/pal8.bmp", 252},
                 {"g/pal8-0.bmp", 256}, {"q/pal2color.bmp", 4}, {"q/pal8os2sp.bmp", 252}, {"q/pal8oversizepal.bmp", 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto bitmap = LoadBmpFile(CorpusPath("bmpsuite/").string() + c.file);
        EXPECT_EQ(bitmap->Image().format(), QImage::Format_Indexed8);
        EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
        EXPECT_EQ(bitmap->Palette().size(), c.colors);
    }
    EXPECT_EQ(LoadBmpFile(CorpusPath("bmpsuite/g/rgb24.bmp").string())->PixelFormat(), pf24bit);
    EXPECT_EQ(LoadBmpFile(CorpusPath("bmpsuite/g/rgb16.bmp").string())->PixelFormat(), pf32bit);
}

// What the reader does with each questionable file. Exact: equals the reference;
// NearlyExact: channel values within 1 of it (the reference rounds differently).
enum class Verdict { Exact, NearlyExact, ReadsDifferently, Rejected };

struct QuestionableFile {
    const char* file;
    const char* reference;
    Verdict verdict;
};

const QuestionableFile kQuestionableFiles[] = {
    {"pal1huffmsb.bmp", "", Verdict::Rejected},  // OS/2 Huffman 1D
    {"pal1p1.bmp", "pal1p1.png", Verdict::Exact},
    {"pal2.bmp", "pal2.png", Verdict::Exact},
    {"pal2color.bmp", "pal2color.png", Verdict::Exact},
    {"pal4rlecut.bmp", "pal4rlecut-0.png", Verdict::Exact},  // skipped pixels take colour 0
    {"pal4rletrns.bmp", "pal4rletrns-0.png", Verdict::Exact},
    {"pal8offs.bmp", "pal8.png", Verdict::Exact},
    {"pal8os2-hs.bmp", "pal8.png", Verdict::Exact},
    {"pal8os2-sz.bmp", "pal8.png", Verdict::Exact},
    {"pal8os2sp.bmp", "pal8.png", Verdict::Exact},
    {"pal8os2v2-16.bmp", "pal8.png", Verdict::Exact},
    {"pal8os2v2-40sz.bmp", "pal8.png", Verdict::Exact},
    {"pal8os2v2-sz.bmp", "pal8.png", Verdict::Exact},
    {"pal8os2v2.bmp", "pal8.png", Verdict::Exact},
    {"pal8oversizepal.bmp", "pal8.png", Verdict::Exact},
    {"pal8rlecut.bmp", "pal8rlecut-0.png", Verdict::Exact},
    {"pal8rletrns.bmp", "pal8rletrns-0.png", Verdict::Exact},
    {"rgb16-231.bmp", "rgb16-231.png", Verdict::Exact},
    {"rgb16-3103.bmp", "rgb16-3103.png", Verdict::Exact},
    {"rgb16faketrns.bmp", "rgb16.png", Verdict::Exact},  // the unused bit is not alpha
    {"rgb24jpeg.bmp", "", Verdict::Rejected},
    {"rgb24largepal.bmp", "rgb24.png", Verdict::Exact},
    {"rgb24lprof.bmp", "rgb24.png", Verdict::Exact},
    {"rgb24png.bmp", "", Verdict::Rejected},
    {"rgb24prof.bmp", "rgb24.png", Verdict::Exact},
    {"rgb24prof2.bmp", "rgb24.png", Verdict::ReadsDifferently},  // colour profiles are not applied
    {"rgb24rle24.bmp", "pal8.png", Verdict::Exact},
    {"rgb32-111110.bmp", "rgb24.png", Verdict::NearlyExact},
    {"rgb32-7187.bmp", "rgb32-7187.png", Verdict::Exact},
    {"rgb32-xbgr.bmp", "rgb24.png", Verdict::Exact},
    {"rgb32fakealpha.bmp", "rgb24.png", Verdict::Exact},  // the unused byte is not alpha
    {"rgb32h52.bmp", "rgb24.png", Verdict::Exact},
    {"rgba16-1924.bmp", "rgba16-1924.png", Verdict::Exact},
    {"rgba16-4444.bmp", "rgba16-4444.png", Verdict::Exact},
    {"rgba16-5551.bmp", "rgba16-5551.png", Verdict::Exact},
    {"rgba32-1.bmp", "rgba32.png", Verdict::Exact},
    {"rgba32-1010102.bmp", "rgba32-1010102.png", Verdict::Exact},
    {"rgba32-2.bmp", "rgba32.png", Verdict::Exact},
    {"rgba32-61754.bmp", "rgba32-61754.png", Verdict::Exact},
    {"rgba32-81284.bmp", "rgba32-81284.png", Verdict::Exact},
    {"rgba32abf.bmp", "rgba32.png", Verdict::Exact},
    {"rgba32h56.bmp", "rgba32.png", Verdict::Exact},
    {"rgba64.bmp", "rgba32.png", Verdict::NearlyExact},  // linear light encoded to sRGB
};

TEST(BmpCorpus, QuestionableFilesAreReadOrRefusedAsRecorded) {
    REQUIRE_CORPUS();
    int checked = 0;
    for (const QuestionableFile& q : kQuestionableFiles) {
        SCOPED_TRACE(q.file);
        const std::string path = CorpusPath("bmpsuite/q/").string() + q.file;
        ++checked;
        if (q.verdict == Verdict::Rejected) {
            EXPECT_THROW(LoadBmpFile(path), Exception);
            continue;
        }
        const auto bitmap = LoadBmpFile(path);
        int maxDelta = 0;
        const int differing = CountDifferentPixels(bitmap->Image(), Reference(q.reference), &maxDelta);
        switch (q.verdict) {
        case Verdict::Exact: EXPECT_EQ(differing, 0) << "max delta " << maxDelta; break;
        case Verdict::NearlyExact:
            EXPECT_GE(differing, 0);
            EXPECT_LE(maxDelta, 1);
            break;
        default: EXPECT_GT(differing, 0); break;
        }
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(CorpusPath("bmpsuite/q"))) files += entry.path().extension() == ".bmp";
    EXPECT_EQ(files, checked);
}

TEST(BmpCorpus, EveryBadFileIsRefusedWithAMessageNamingIt) {
    REQUIRE_CORPUS();
    int checked = 0;
    for (const fs::path& dir : {CorpusPath("bmpsuite/b"), CorpusPath("bmpsuite/x")}) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string path = entry.path().string();
            SCOPED_TRACE(path);
            try {
                LoadBmpFile(path);
                ADD_FAILURE() << "accepted";
            } catch (const Exception& e) {
                EXPECT_EQ(std::string(e.what()).rfind("Cannot read BMP file \"" + path + "\": ", 0), 0u) << e.what();
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 21);
}

TEST(BmpCorpus, RefusalsSayWhatIsWrong) {
    REQUIRE_CORPUS();
    const struct {
        const char* file;
        const char* reason;
    } cases[] = {
        {"b/shortfile.bmp", "truncated"},
        {"b/badfilesize.bmp", "the file header gives a size of 2111692253 bytes"},
        {"b/badbitssize.bmp", "bytes of pixel data"},
        {"b/reallybig.bmp", "too large (3000000 x 2000000 pixels"},
        {"b/pal8badindex.bmp", "but the colour table has only 101 entries"},
        {"b/badrle4.bmp", "RLE run overflows"},
        {"b/rletopdown.bmp", "top-down"},
        {"b/badpalettesize.bmp", "305402420 palette entries"},
        {"b/rgb16-880.bmp", "blue bit-field mask is empty"},
        {"q/rgb24png.bmp", "embedded PNG"},
        {"q/pal1huffmsb.bmp", "Huffman"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        try {
            LoadBmpFile(CorpusPath("bmpsuite/").string() + c.file);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace tovra::test
