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

struct TChoiceCase {
    const char* what;
    std::string colorSpace;  // a name, "Indexed" or "ICCBased N" (the profile's /N)
    int bits;
    int dataBytes;  // the image is 4 pixels wide
    std::vector<std::string> filters;
    bool image = true;
    bool decodeParms = false;
};

std::unique_ptr<TPdfObject> ColorSpace(const std::string& text) {
    if (text == "Indexed") {
        auto indexed = std::make_unique<TPdfArray>();
        indexed->Add(std::make_unique<TPdfName>("Indexed"));
        indexed->Add(std::make_unique<TPdfName>("DeviceRGB"));
        indexed->Add(std::make_unique<TPdfNumber>(255));
        return indexed;
    }
    if (text.rfind("ICCBased ", 0) == 0) {
        auto profile = std::make_unique<TPdfStream>();
        profile->Dict().Put("N", std::make_unique<TPdfNumber>(std::stoi(text.substr(9))));
        auto icc = std::make_unique<TPdfArray>();
        icc->Add(std::make_unique<TPdfName>("ICCBased"));
        icc->Add(std::move(profile));
        return icc;
    }
    return std::make_unique<TPdfName>(text);
}

std::unique_ptr<TPdfStream> StreamFor(const TChoiceCase& c) {
    auto stream = std::make_unique<TPdfStream>();
    TPdfDictionary& dict = stream->Dict();
    if (c.image) {
        dict.Put("Type", std::make_unique<TPdfName>("XObject"));
        dict.Put("Subtype", std::make_unique<TPdfName>("Image"));
        dict.Put("ColorSpace", ColorSpace(c.colorSpace));
        dict.Put("Width", std::make_unique<TPdfNumber>(4));
        dict.Put("BitsPerComponent", std::make_unique<TPdfNumber>(c.bits));
    }
    for (const std::string& name : c.filters) dict.ArrayByKey("Filter")->Add(std::make_unique<TPdfName>(name));
    if (c.decodeParms) dict.Put("DecodeParms", std::make_unique<TPdfDictionary>());
    stream->Data().Write(std::string(static_cast<std::size_t>(c.dataBytes), '\x11'));
    return stream;
}

TEST(CompactEncoding, ChoiceFollowsWhatTheStreamHolds) {
    const std::vector<std::string> flate = {"FlateDecode"};
    // what, colour space, bits, bytes, filters, image?, DecodeParms? -> with compact on:
    const struct {
        TChoiceCase stream;
        TDeflater deflate;
        int predictColors;
    } cases[] = {
        {{"RGB samples", "DeviceRGB", 8, 24, flate}, TDeflater::Compact, 3},
        {{"grey samples", "DeviceGray", 8, 8, flate}, TDeflater::Compact, 1},
        {{"grey ICC profile", "ICCBased 1", 8, 8, flate}, TDeflater::Compact, 1},
        {{"RGB ICC profile", "ICCBased 3", 8, 12, flate}, TDeflater::Compact, 3},
        {{"CMYK ICC profile", "ICCBased 4", 8, 16, flate}, TDeflater::Compact, 0},
        {{"palette", "Indexed", 8, 8, flate}, TDeflater::Compact, 0},
        {{"1-bit grey", "DeviceGray", 1, 2, flate}, TDeflater::Compact, 0},
        {{"16-bit RGB", "DeviceRGB", 16, 48, flate}, TDeflater::Compact, 0},
        {{"CMYK", "DeviceCMYK", 8, 32, flate}, TDeflater::Compact, 0},
        {{"rows not whole", "DeviceRGB", 8, 25, flate}, TDeflater::Compact, 0},
        {{"predicted already", "DeviceRGB", 8, 24, flate, true, true}, TDeflater::Zlib, 0},
        {{"two filters", "DeviceRGB", 8, 24, {"FlateDecode", "ASCIIHexDecode"}}, TDeflater::Zlib, 0},
        {{"content stream", "", 8, 24, flate, false}, TDeflater::Zlib, 0},
        {{"JPEG data", "DeviceRGB", 8, 24, {"DCTDecode"}}, TDeflater::None, 0},
        {{"no filter", "DeviceRGB", 8, 24, {}}, TDeflater::None, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stream.what);
        const auto stream = StreamFor(c.stream);
        const TStreamEncoding compact = ChooseEncoding(*stream, true);
        EXPECT_EQ(compact.Deflate, c.deflate);
        EXPECT_EQ(compact.PredictColors, c.predictColors);
        EXPECT_EQ(compact.Predicts() ? compact.PredictColumns : 4, 4);
        // Without compact mode every Flate stream keeps zlib and no prediction.
        const TStreamEncoding established = ChooseEncoding(*stream, false);
        EXPECT_EQ(established.Deflate, c.deflate == TDeflater::None ? TDeflater::None : TDeflater::Zlib);
        EXPECT_FALSE(established.Predicts());
    }

    const auto rgb = StreamFor(cases[0].stream);
    DescribeEncoding(*rgb, ChooseEncoding(*rgb, true));
    EXPECT_NE(Written(rgb->Dict()).find("/DecodeParms [<<\r\n/Predictor 15\r\n/Colors 3\r\n/BitsPerComponent 8\r\n"
                                        "/Columns 4\r\n>> ]"),
              std::string::npos)
        << Written(rgb->Dict());
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
        const std::string above(c.above.begin(), c.above.end());
        const std::string row(c.row.begin(), c.row.end());
        const std::string rows = PngPredict(above + row, c.colors, c.bits, c.columns);
        ASSERT_EQ(rows.size(), 2 * (row.size() + 1));
        EXPECT_EQ(rows[row.size() + 1], c.filter);
    }
}

TEST(CompactEncoding, RowsArriveInPiecesOfAnySize) {
    std::mt19937 random(5);
    std::string samples(3 * 7 * 9, '\0');  // RGB, 7 wide, 9 rows
    for (char& byte : samples) byte = static_cast<char>(random() % 40);
    const std::string whole = PngPredict(samples, 3, 8, 7);
    std::string pieces;
    TPngPredictor predictor(3, 8, 7, pieces);
    for (std::size_t at = 0, step = 1; at < samples.size(); at += step, step = step % 23 + 4)
        predictor.Write(std::string_view(samples).substr(at, step));
    EXPECT_EQ(predictor.Pending(), 0u);
    EXPECT_EQ(pieces, whole);
    EXPECT_THROW(PngPredict(samples.substr(1), 3, 8, 7), EPdfInvalidValue);
    EXPECT_THROW(TPngPredictor(3, 12, 7, pieces), EPdfInvalidValue);
}

// Pictures that make every filter win somewhere: noise, smooth ramps, flat areas and edges.
std::string Samples(int colors, int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::string samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < colors; ++k) {
                const int kind = (y / 3 + k) % 4;
                const int value = kind == 0 ? static_cast<int>(random() % 256)
                                  : kind == 1 ? x * 9 + y * 5 + k * 40
                                  : kind == 2 ? (x < width / 2 ? 30 : 220)
                                              : (x + y) % 7 * 30 + static_cast<int>(random() % 3);
                samples += static_cast<char>(value & 0xFF);
            }
    return samples;
}

TEST(CompactEncoding, SavedSamplesDecodeExactlyWithAnotherDecoder) {
    TempDir dir;
    TPdfDoc doc;
    FixClock(doc);
    doc.CompactBitmaps = true;
    doc.SpoolFolder = dir.Path().string();
    doc.StartDocument();
    const struct {
        int colors, width, height;
    } shapes[] = {{3, 1, 5}, {3, 2, 9}, {1, 1, 4}, {1, 33, 17}, {3, 61, 40}, {1, 300, 12}};
    std::vector<std::pair<TPdfImage*, std::string>> images;
    for (const auto& shape : shapes) {
        doc.AddPage();
        auto image = MakeImage();
        image->Dict().Put("Width", std::make_unique<TPdfNumber>(shape.width));
        image->Dict().Put("Height", std::make_unique<TPdfNumber>(shape.height));
        image->Dict().Put("ColorSpace", std::make_unique<TPdfName>(shape.colors == 3 ? "DeviceRGB" : "DeviceGray"));
        image->Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("FlateDecode"));
        image->Data().Clear();
        const std::string samples = Samples(shape.colors, shape.width, shape.height, 11u * images.size() + 3);
        image->Data().Write(samples);
        const std::string name = "Im" + std::to_string(images.size());
        images.emplace_back(doc.AddImage(name, std::move(image)), samples);
        doc.GetCanvas()->DrawXObject(0, 0, 10, 10, name);
    }
    const std::filesystem::path pdf = dir / "compact.pdf";
    WriteFileBytes(pdf, Saved(doc));
    EXPECT_QPDF_CLEAN(pdf);
    for (const auto& [image, samples] : images) {
        SCOPED_TRACE(image->ObjectNumber());
        const std::string number = std::to_string(image->ObjectNumber());
        EXPECT_NE(RunCommand("qpdf --show-object=" + number + " " + ShellQuote(pdf.string())).output.find("/Predictor 15"),
                  std::string::npos);
        const CommandResult decoded =
            RunCommand("qpdf --show-object=" + number + " --filtered-stream-data " + ShellQuote(pdf.string()));
        EXPECT_EQ(decoded.exitCode, 0);
        EXPECT_TRUE(decoded.output == samples) << decoded.output.size() << " bytes, not " << samples.size();
    }
}

}  // namespace
}  // namespace tovra::test
