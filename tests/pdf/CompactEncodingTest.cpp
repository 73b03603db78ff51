// The compact encoding of image streams: which streams get it (from what the stream is, not
// where it came from), the PNG row filter each row takes, and samples that an independent
// decoder (qpdf) gets back exactly from a saved document.
#include <gtest/gtest.h>

#include <random>

#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "pdf/PdfEncoding.h"
#include "pdf/PngPredictor.h"

namespace tovra::test {
namespace {

// An image stream 4 pixels wide; colour space "Indexed" or "ICCBased N" stand for those arrays.
std::unique_ptr<TPdfImage> Image(const std::string& space, int bits, int bytes, std::vector<std::string> filters) {
    auto image = MakeImage();
    TPdfDictionary& dict = image->Dict();
    auto array = std::make_unique<TPdfArray>();
    if (space == "Indexed") {
        for (const char* name : {"Indexed", "DeviceRGB"}) array->Add(std::make_unique<TPdfName>(name));
    } else if (space.rfind("ICCBased ", 0) == 0) {
        auto profile = std::make_unique<TPdfStream>();
        profile->Dict().Put("N", std::make_unique<TPdfNumber>(std::stoi(space.substr(9))));
        array->Add(std::make_unique<TPdfName>("ICCBased"));
        array->Add(std::move(profile));
    }
    if (array->ItemCount() > 0) dict.Put("ColorSpace", std::move(array));
    else dict.Put("ColorSpace", std::make_unique<TPdfName>(space));
    dict.Put("Width", std::make_unique<TPdfNumber>(4));
    dict.Put("BitsPerComponent", std::make_unique<TPdfNumber>(bits));
    for (const std::string& name : filters) dict.ArrayByKey("Filter")->Add(std::make_unique<TPdfName>(name));
    image->Data().Clear();
    image->Data().Write(std::string(static_cast<std::size_t>(bytes), '\x11'));
    return image;
}

TEST(CompactEncoding, ChoiceFollowsWhatTheStreamHolds) {
    const std::vector<std::string> flate = {"FlateDecode"};
    const struct {
        const char* what;
        std::unique_ptr<TPdfStream> stream;
        TDeflater deflate;  // with compact mode on
        int predictColors;
    } cases[] = {
        {"RGB samples", Image("DeviceRGB", 8, 24, flate), TDeflater::Compact, 3},
        {"grey samples", Image("DeviceGray", 8, 8, flate), TDeflater::Compact, 1},
        {"grey ICC profile", Image("ICCBased 1", 8, 8, flate), TDeflater::Compact, 1},
        {"RGB ICC profile", Image("ICCBased 3", 8, 12, flate), TDeflater::Compact, 3},
        {"CMYK ICC profile", Image("ICCBased 4", 8, 16, flate), TDeflater::Compact, 0},
        {"palette", Image("Indexed", 8, 8, flate), TDeflater::Compact, 0},
        {"1-bit grey", Image("DeviceGray", 1, 2, flate), TDeflater::Compact, 0},
        {"16-bit RGB", Image("DeviceRGB", 16, 48, flate), TDeflater::Compact, 0},
        {"CMYK", Image("DeviceCMYK", 8, 32, flate), TDeflater::Compact, 0},
        {"rows not whole", Image("DeviceRGB", 8, 25, flate), TDeflater::Compact, 0},
        {"two filters", Image("DeviceRGB", 8, 24, {"FlateDecode", "ASCIIHexDecode"}), TDeflater::Zlib, 0},
        {"JPEG data", Image("DeviceRGB", 8, 24, {"DCTDecode"}), TDeflater::None, 0},
        {"content stream", std::make_unique<TPdfStream>(), TDeflater::Zlib, 0},
        {"predicted already", Image("DeviceRGB", 8, 24, flate), TDeflater::Zlib, 0},
    };
    cases[12].stream->Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("FlateDecode"));
    cases[13].stream->Dict().Put("DecodeParms", std::make_unique<TPdfDictionary>());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TDataEncoding compact = ChooseEncoding(*c.stream, true);
        EXPECT_EQ(compact.Deflate, c.deflate);
        EXPECT_EQ(compact.PredictColors, c.predictColors);
        if (compact.Deflate == TDeflater::Compact) {
            EXPECT_EQ(compact.CompactLevel, c.predictColors ? 9 : 5);
        }
        // Without compact mode every Flate stream keeps zlib and no prediction.
        const TDataEncoding established = ChooseEncoding(*c.stream, false);
        EXPECT_EQ(established.Deflate, c.deflate == TDeflater::None ? TDeflater::None : TDeflater::Zlib);
        EXPECT_FALSE(established.Predicts());
    }
    DescribeEncoding(*cases[0].stream, ChooseEncoding(*cases[0].stream, true));
    EXPECT_NE(Written(cases[0].stream->Dict()).find("/DecodeParms [<<\r\n/Predictor 15\r\n/Colors 3\r\n"
                                                    "/BitsPerComponent 8\r\n/Columns 4\r\n>> ]"),
              std::string::npos);
}

TEST(CompactEncoding, EachRowTakesTheFilterWithTheSmallestSignedSum) {
    using Bytes = std::vector<std::uint8_t>;
    const struct {
        const char* what;
        int colors, bits, columns;
        Bytes above, row;
        int filter;  // 0 None, 1 Sub, 2 Up, 3 Average, 4 Paeth
    } cases[] = {
        {"flat row: Sub beats Paeth on the tie", 1, 8, 8, Bytes(8, 0), Bytes(8, 10), 1},
        {"row as above: Up", 1, 8, 8, Bytes(8, 10), Bytes(8, 10), 2},
        {"zeros: None, the lowest of the ties", 1, 8, 8, Bytes(8, 10), Bytes(8, 0), 0},
        {"halfway to above: Average", 1, 8, 8, Bytes(8, 100), {50, 75, 87, 93, 96, 98, 99, 99}, 3},
        {"edges: Paeth", 1, 8, 8, {10, 80, 10, 80, 30, 30, 30, 30}, {10, 80, 10, 80, 60, 60, 60, 60}, 4},
        // 255 is -1 read signed: None's 1 beats Up's 127, which an unsigned sum would choose.
        {"bytes read signed", 1, 8, 1, {128}, {255}, 0},
        {"16-bit RGB: the left pixel is 6 bytes back", 3, 16, 2, Bytes(12, 0), {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6}, 1},
        {"1-bit: the left neighbour is the byte before", 1, 1, 16, Bytes(2, 0), {0xAA, 0xAA}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string rows = std::string(c.above.begin(), c.above.end()) + std::string(c.row.begin(), c.row.end());
        const std::string filtered = PngPredict(rows, c.colors, c.bits, c.columns);
        ASSERT_EQ(filtered.size(), 2 * (c.row.size() + 1));
        EXPECT_EQ(filtered[c.row.size() + 1], c.filter);
        // Fed a byte at a time, the predictor gives the same rows.
        std::string pieces;
        TPngPredictor predictor(c.colors, c.bits, c.columns, pieces);
        for (const char byte : rows) predictor.Write(std::string_view(&byte, 1));
        EXPECT_EQ(pieces, filtered);
    }
    EXPECT_THROW(PngPredict("12345", 3, 8, 1), EPdfInvalidValue);  // not whole rows
}

TEST(CompactEncoding, SavedSamplesDecodeExactlyWithAnotherDecoder) {
    TempDir dir;
    TPdfDoc doc;
    FixClock(doc);
    doc.CompactBitmaps = true;
    doc.SpoolFolder = dir.Path().string();
    doc.StartDocument();
    std::mt19937 random(3);
    std::vector<std::pair<TPdfImage*, std::string>> images;
    // Widths of one pixel, odd and long rows; noise, ramps, flat areas and edges, so that every
    // filter is taken somewhere.
    const std::pair<const char*, int> shapes[] = {{"DeviceRGB", 1}, {"DeviceRGB", 61}, {"DeviceGray", 1}, {"DeviceGray", 300}};
    for (const auto& [space, width] : shapes) {
        const int colors = std::string(space) == "DeviceRGB" ? 3 : 1, height = 24;
        std::string samples;
        for (int i = 0; i < width * height * colors; ++i) {
            const int x = i / colors % width, y = i / colors / width, kind = (y / 3 + i % colors) % 4;
            samples += static_cast<char>(kind == 0 ? random() : kind == 1 ? x * 9 + y * 5 : kind == 2 ? (x < width / 2) * 190
                                                                                                  : (x + y) % 7 * 30);
        }
        auto image = Image(space, 8, 0, {"FlateDecode"});
        image->Dict().Put("Width", std::make_unique<TPdfNumber>(width));
        image->Dict().Put("Height", std::make_unique<TPdfNumber>(height));
        image->Data().Write(samples);
        doc.AddPage();
        images.emplace_back(doc.AddImage("Im" + std::to_string(images.size()), std::move(image)), samples);
    }
    const std::filesystem::path pdf = dir / "compact.pdf";
    WriteFileBytes(pdf, Saved(doc));
    EXPECT_QPDF_CLEAN(pdf);
    for (const auto& [image, samples] : images) {
        SCOPED_TRACE(Written(image->Dict()));
        EXPECT_NE(Written(image->Dict()).find("/Predictor 15"), std::string::npos);
        const CommandResult decoded = RunCommand("qpdf --show-object=" + std::to_string(image->ObjectNumber()) +
                                                 " --filtered-stream-data " + ShellQuote(pdf.string()));
        EXPECT_TRUE(decoded.exitCode == 0 && decoded.output == samples);
    }
}

}  // namespace
}  // namespace tovra::test
