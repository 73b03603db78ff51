// What the corpus does not show: damage of every kind the chunk walk and the inflate check
// must catch, colour profiles, the scaled screen decoder, and a file changed after loading.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "PngReader.h"
#include "PngTestHelpers.h"
#include "TestSupport.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

std::unique_ptr<TRecordImage> Decode(const std::string& file) {
    return DecodePngBytes({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, "t.png");
}

// Rows of a 2 x 2 RGB picture, unfiltered (filter type 0), and a file holding them.
const std::string kRows = std::string("\0\x10\x20\x30\x40\x50\x60", 7) + std::string("\0\x70\x80\x90\xA0\xB0\xC0", 7);
std::string Rgb(const std::vector<std::string>& before, const std::string& data = Zlib(kRows)) {
    std::vector<std::string> chunks = {PngHeader(2, 2, 8, 2)};
    chunks.insert(chunks.end(), before.begin(), before.end());
    chunks.push_back(PngChunk("IDAT", data));
    chunks.push_back(PngChunk("IEND", ""));
    return PngFile(chunks);
}

// A colour profile header that says what space it is for.
std::string Profile(const std::string& space) {
    std::string profile(200, '\0');
    profile.replace(16, 4, space);
    profile.replace(36, 4, "acsp");
    return profile;
}
std::string Iccp(const std::string& profile) { return PngChunk("iCCP", std::string("icc\0\0", 5) + Zlib(profile)); }

TEST(PngReader, DamageIsRefusedAndHarmlessOddnessIsNot) {
    const std::string data = Zlib(kRows);
    const std::string grayRows(2 * 2001, '\0');
    const struct {
        const char* name;
        std::string file;
        const char* reason;  // "": the file decodes
        std::function<void(const TImageRecord&)> check;
    } cases[] = {
        {"IDAT split in three, an empty one last",
         PngFile({PngHeader(2, 2, 8, 2), PngChunk("IDAT", data.substr(0, 3)), PngChunk("IDAT", data.substr(3, 4)),
                  PngChunk("IDAT", data.substr(7)), PngChunk("IDAT", ""), PngChunk("IEND", "")}),
         "", [&](const TImageRecord& r) { EXPECT_EQ(*r.Bytes, data); }},
        {"ancillary chunk with a bad CRC", Rgb({PngChunk("tEXt", "a\0b", true)}), "", {}},
        {"critical chunk with a bad CRC", Rgb({PngChunk("PLTE", "abc", true)}), "bad CRC in the PLTE chunk at offset 33", {}},
        {"unknown critical chunk", Rgb({PngChunk("ABCD", "")}), "a critical chunk this reader does not know", {}},
        {"chunk type not letters", Rgb({PngChunk("a1cd", "")}), "its type is not four letters", {}},
        {"chunk longer than allowed", Rgb({std::string("\x80\0\0\0tEXt", 8)}), "more than a chunk may hold", {}},
        {"no IHDR first", PngFile({PngChunk("IDAT", data), PngChunk("IEND", "")}), "does not start with an IHDR", {}},
        {"no IDAT", PngFile({PngHeader(2, 2, 8, 2), PngChunk("IEND", "")}), "holds no image data", {}},
        {"no IEND", PngFile({PngHeader(2, 2, 8, 2), PngChunk("IDAT", data)}), "ends without an IEND chunk", {}},
        {"IDAT chunks apart",
         PngFile({PngHeader(2, 2, 8, 2), PngChunk("IDAT", data.substr(0, 5)), PngChunk("tEXt", "a\0b"),
                  PngChunk("IDAT", data.substr(5)), PngChunk("IEND", "")}),
         "is separated from the other IDAT chunks", {}},
        {"RGB at 4 bits", PngFile({PngHeader(2, 2, 4, 2), PngChunk("IDAT", data), PngChunk("IEND", "")}),
         "bit depth 4 is not allowed for colour type 2", {}},
        {"palette picture without PLTE", PngFile({PngHeader(2, 2, 8, 3), PngChunk("IDAT", data), PngChunk("IEND", "")}),
         "the palette (PLTE chunk) is missing", {}},
        {"colour key of the wrong size", Rgb({PngChunk("tRNS", std::string(4, '\0'))}), "has 4 bytes, not 6", {}},
        {"bad filter type", Rgb({}, Zlib(std::string("\x05", 1) + kRows.substr(1))), "bad filter type 5 in row 0", {}},
        {"a row short", Rgb({}, Zlib(kRows.substr(0, 10))), "truncated (it ends in row 2 of 2)", {}},
        {"a row too many", Rgb({}, Zlib(kRows + kRows.substr(0, 7))), "more than the rows the header gives", {}},
        {"zlib stream cut", Rgb({}, data.substr(0, data.size() - 3)), "its zlib stream does not end", {}},
        {"bytes after the zlib stream", Rgb({}, data + "xy"), "goes on after the end of its zlib stream", {}},
        {"a huge picture in ten bytes",
         PngFile({PngHeader(16000, 16000, 1, 0), PngChunk("IDAT", Zlib(grayRows).substr(0, 10)), PngChunk("IEND", "")}),
         "10 bytes cannot hold 16000 x 16000 pixels", {}},
        {"colour key above the bit depth",
         PngFile({PngHeader(2, 1, 1, 0), PngChunk("tRNS", std::string("\0\5", 2)), PngChunk("IDAT", Zlib(std::string(2, '\0'))),
                  PngChunk("IEND", "")}),
         "", [](const TImageRecord& r) { EXPECT_TRUE(r.ColorKeyMask.empty()); }},
        {"RGB profile on an RGB picture", Rgb({Iccp(Profile("RGB "))}), "",
         [](const TImageRecord& r) { EXPECT_EQ(r.IccProfile, Profile("RGB ")); }},
        {"grey profile on an RGB picture", Rgb({Iccp(Profile("GRAY"))}), "",
         [](const TImageRecord& r) { EXPECT_EQ(r.IccProfile, ""); }},
        {"profile with a damaged stream", Rgb({PngChunk("iCCP", std::string("icc\0\0xyz", 8))}), "",
         [](const TImageRecord& r) { EXPECT_EQ(r.IccProfile, ""); }},
        {"two profiles", Rgb({Iccp(Profile("RGB ")), Iccp(Profile("RGB "))}), "is a second colour profile", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (*c.reason == '\0') {
            const auto image = Decode(c.file);
            if (c.check) c.check(image->Record());
            continue;
        }
        try {
            Decode(c.file);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Cannot read PNG file \"t.png\": ", 0), 0u) << e.what();
        }
    }
}

// 64 x 32 RGBA: the left half opaque red, the right half transparent; interlaced or not.
std::string HalfTransparent(bool interlaced) {
    const std::vector<std::array<int, 4>> passes =
        interlaced ? std::vector<std::array<int, 4>>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                                     {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                   : std::vector<std::array<int, 4>>{{0, 0, 1, 1}};
    std::string rows;
    for (const auto& p : passes)
        for (int y = p[1]; y < 32; y += p[3]) {
            rows += '\0';
            for (int x = p[0]; x < 64; x += p[2]) rows += x < 32 ? std::string("\xFF\0\0\xFF", 4) : std::string(4, '\0');
        }
    return PngFile({PngHeader(64, 32, 8, 6, interlaced), PngChunk("IDAT", Zlib(rows)), PngChunk("IEND", "")});
}

TEST(PngReader, ScreenPicturesAreScaledDownWithTheirTransparency) {
    for (const bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "not interlaced");
        const QImage screen = Decode(HalfTransparent(interlaced))->ScreenImage(16);
        ASSERT_EQ(screen.size(), QSize(16, 8));
        EXPECT_EQ(screen.pixel(2, 3), qRgba(255, 0, 0, 255));
        EXPECT_EQ(qAlpha(screen.pixel(13, 3)), 0);
    }
}

TEST(PngReader, AFileChangedAfterLoadingIsNotDecodedForTheScreen) {
    TempDir dir;
    const std::string path = (dir / "a.png").string();
    WriteFileBytes(path, Rgb({}));
    const auto image = LoadPngFile(path);
    EXPECT_EQ(image->ScreenImage(0).pixel(1, 1), qRgb(0xA0, 0xB0, 0xC0));
    WriteFileBytes(path, Rgb({PngChunk("tEXt", "a\0b")}));
    try {
        image->ScreenImage(1);
        ADD_FAILURE() << "decoded a changed file";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read PNG file \"" + path + "\": the file has changed since it was loaded");
    }
}

}  // namespace
}  // namespace tovra::test
