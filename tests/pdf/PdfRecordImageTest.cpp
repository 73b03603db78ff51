// Image records as image objects: one table of hand-made records (colour models, bit depths,
// encodings, palettes, ICC profiles, /Decode, colour keys, soft masks), each written into a
// one-page document that must pass qpdf --check, name the version its features need, and give
// back through qpdf exactly the samples the record held.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "imaging/RecordImage.h"
#include "pdf/PdfFlate.h"
#include "pdf/PdfImages.h"

namespace tovra::test {
namespace {

namespace fs = std::filesystem;

std::shared_ptr<const std::string> Shared(std::string bytes) { return std::make_shared<const std::string>(std::move(bytes)); }

// Bytes from a formula: every sample value occurs, nothing is smooth.
std::string Noise(std::size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 151 + seed * 61 + (i >> 3) * 7) & 0xFF);
    return bytes;
}

TImageRecord Samples(TColorModel color, int bits, int width = 5, int height = 3, unsigned seed = 1) {
    TImageRecord record;
    record.Width = width;
    record.Height = height;
    record.Color = color;
    record.BitsPerComponent = bits;
    record.Bytes = Shared(Noise(static_cast<std::size_t>(record.RowBytes() * height), seed));
    if (color == TColorModel::Indexed) record.Palette = Noise(3 * (std::size_t{1} << bits), seed + 7);
    return record;
}

// The identity of a file as a record from it keeps it, to notice changes before saving.
TFileIdentity IdentityOf(const fs::path& file) {
    struct stat status {};
    EXPECT_EQ(stat(file.c_str(), &status), 0) << file;
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

template <class Change>
TImageRecord With(TImageRecord record, Change change) {
    change(record);
    return record;
}

// Unfiltered rows as a PNG stores them: a filter byte (None) before each row, one zlib stream.
std::string PngIdat(const TImageRecord& samples) {
    std::string rows;
    const auto rowBytes = static_cast<std::size_t>(samples.RowBytes());
    for (int y = 0; y < samples.Height; ++y) rows += '\0' + samples.Bytes->substr(rowBytes * static_cast<std::size_t>(y), rowBytes);
    return FlateCompress(rows);
}

// A one-page document drawing the record's image object, saved to a file.
struct TWritten {
    fs::path Pdf;
    std::string Bytes;
    int Image = 0;
    int Mask = 0;
};

TWritten WriteRecord(const TempDir& dir, const TImageRecord& record, const TPdfImageOptions& options = {}) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    TPdfCanvas& canvas = *doc.GetCanvas();
    canvas.SetPageWidth(record.Width);
    canvas.SetPageHeight(record.Height);
    TPdfImage* image = doc.AddImage("R", MakeRecordImage(record, options, "PNG"));
    canvas.DrawXObject(0, 0, static_cast<float>(record.Width), static_cast<float>(record.Height), "R");
    TWritten written;
    written.Image = image->ObjectNumber();
    written.Pdf = dir / "record.pdf";
    written.Bytes = Saved(doc);
    const std::string dict = ObjectBody(written.Bytes, written.Image);
    if (const std::size_t at = dict.find("/SMask "); at != std::string::npos) written.Mask = std::stoi(dict.substr(at + 7));
    WriteFileBytes(written.Pdf, written.Bytes);
    return written;
}

// The stream data of an object as qpdf gives it: decoded (Flate and predictors; `level` all
// also decodes JPEG) or raw.
std::string StreamData(const fs::path& pdf, int object, const std::string& how) {
    const fs::path out = pdf.parent_path() / ("object" + std::to_string(object) + ".bin");
    const CommandResult result = RunCommand("qpdf " + how + " --show-object=" + std::to_string(object) + " " +
                                            ShellQuote(pdf.string()) + " > " + ShellQuote(out.string()));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return ReadFileBytes(out);
}

std::string Decoded(const fs::path& pdf, int object) { return StreamData(pdf, object, "--filtered-stream-data"); }

enum class TCheck { Samples, Raw };

struct TCase {
    const char* Name;
    TImageRecord Record;
    std::vector<std::string> Entries;  // in the image dictionary, as written
    int MinorVersion;
    TCheck Check = TCheck::Samples;
    std::string Expected = {};  // Raw: the stream's bytes; Samples: the record's bytes when empty
};

TEST(PdfRecordImage, EveryKindOfRecordIsWrittenAndReadsBackAsItsSamples) {
    TempDir dir;
    const TImageRecord rgb = Samples(TColorModel::RGB, 8);
    const std::string idat = PngIdat(rgb);
    // The same zlib data in a file, in two slices with other bytes around them.
    const std::string cut = idat.substr(0, 7), rest = idat.substr(7);
    WriteFileBytes(dir / "slices.png", "head" + cut + "gap" + rest + "tail");
    const TFileIdentity identity = IdentityOf(dir / "slices.png");
    const std::string jpeg = JpegCompress(*rgb.Bytes, {.Width = 5, .Height = 3});
    const std::vector<TDecodeParm> predictor = {{"Predictor", 15}, {"Colors", 3}, {"BitsPerComponent", 8}, {"Columns", 5}};

    const std::vector<TCase> cases = {
        {"gray 8", Samples(TColorModel::Gray, 8), {"/ColorSpace /DeviceGray", "/BitsPerComponent 8", "/Filter [/FlateDecode ]"}, 2},
        {"gray 1, 1 is black", With(Samples(TColorModel::Gray, 1), [](auto& r) { r.Decode = {1, 0}; }),
         {"/BitsPerComponent 1", "/Decode [1 0 ]"}, 2},
        {"gray 2", Samples(TColorModel::Gray, 2), {"/BitsPerComponent 2"}, 2},
        {"gray 16", Samples(TColorModel::Gray, 16), {"/BitsPerComponent 16"}, 5},
        {"rgb 8", rgb, {"/ColorSpace /DeviceRGB", "/Width 5", "/Height 3"}, 2},
        {"rgb 16", Samples(TColorModel::RGB, 16), {"/ColorSpace /DeviceRGB", "/BitsPerComponent 16"}, 5},
        {"cmyk 8", Samples(TColorModel::CMYK, 8), {"/ColorSpace /DeviceCMYK"}, 2},
        {"palette 4", Samples(TColorModel::Indexed, 4), {"/ColorSpace [/Indexed /DeviceRGB 15 <", "/BitsPerComponent 4"}, 2},
        {"palette of 3", With(Samples(TColorModel::Indexed, 2), [](auto& r) { r.Palette = std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF", 9); r.Bytes = Shared(std::string(6, '\x24')); }),
         {"/ColorSpace [/Indexed /DeviceRGB 2 <FF0000 00FF00 0000FF > ]"}, 2},
        {"rgb with ICC", With(rgb, [](auto& r) { r.IccProfile = "not really a profile"; }), {"/ColorSpace [/ICCBased "}, 3},
        {"palette with ICC", With(Samples(TColorModel::Indexed, 8), [](auto& r) { r.IccProfile = "profile"; }),
         {"/ColorSpace [/Indexed [/ICCBased ", " 0 R ] 255 <"}, 3},
        {"colour key", With(rgb, [](auto& r) { r.ColorKeyMask = {1, 1, 2, 2, 3, 3}; }), {"/Mask [1 1 2 2 3 3 ]"}, 3},
        {"soft mask 8", With(rgb, [](auto& r) { r.SoftMask = std::make_shared<TImageRecord>(Samples(TColorModel::Gray, 8, 5, 3, 9)); }),
         {"/SMask "}, 4},
        {"soft mask 16", With(Samples(TColorModel::Gray, 8), [](auto& r) { r.SoftMask = std::make_shared<TImageRecord>(Samples(TColorModel::Gray, 16, 5, 3, 4)); }),
         {"/SMask "}, 5},
        {"png data as it is", With(rgb, [&](auto& r) { r.Encoding = TImageEncoding::Flate; r.Bytes = Shared(idat); r.DecodeParms = predictor; }),
         {"/Filter [/FlateDecode ]", "/DecodeParms [<<\r\n/Predictor 15\r\n/Colors 3\r\n/BitsPerComponent 8\r\n/Columns 5\r\n>> ]"}, 2,
         TCheck::Raw, idat},
        {"png data from file slices", With(rgb, [&](auto& r) {
             r.Encoding = TImageEncoding::Flate; r.Bytes = nullptr; r.DecodeParms = predictor;
             r.Slices = {{4, cut.size()}, {4 + cut.size() + 3, rest.size()}};
             r.Source = TRecordSource{(dir / "slices.png").string(), identity}; }),
         {"/Filter [/FlateDecode ]", "/Predictor 15"}, 2, TCheck::Raw, idat},
        {"jpeg data as it is", With(rgb, [&](auto& r) { r.Encoding = TImageEncoding::DCT; r.Bytes = Shared(jpeg); }),
         {"/Filter [/DCTDecode ]"}, 2, TCheck::Raw, jpeg},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TWritten written = WriteRecord(dir, c.Record);
        EXPECT_QPDF_CLEAN(written.Pdf);
        EXPECT_EQ(written.Bytes.substr(0, 11), "%PDF-1." + std::to_string(c.MinorVersion) + " \r\n");
        const std::string dict = ObjectBody(written.Bytes, written.Image);
        for (const std::string& entry : c.Entries) EXPECT_NE(dict.find(entry), std::string::npos) << entry << " in " << dict;
        EXPECT_EQ(dict.find("/SMask ") != std::string::npos, c.Record.SoftMask != nullptr);
        if (c.Check == TCheck::Raw) {
            EXPECT_EQ(StreamData(written.Pdf, written.Image, "--raw-stream-data"), c.Expected);
            if (c.Record.Encoding == TImageEncoding::Flate) {
                EXPECT_EQ(Decoded(written.Pdf, written.Image), *rgb.Bytes);
            }
        } else {
            EXPECT_EQ(Decoded(written.Pdf, written.Image), *c.Record.Bytes);
        }
        if (c.Record.SoftMask) {
            const std::string mask = ObjectBody(written.Bytes, written.Mask);
            EXPECT_NE(mask.find("/ColorSpace /DeviceGray"), std::string::npos) << mask;
            EXPECT_EQ(Decoded(written.Pdf, written.Mask), *c.Record.SoftMask->Bytes);
        }
    }
}

TEST(PdfRecordImage, PhotosAreOneJpegUnlessExactPixelsAreAsked) {
    TempDir dir;
    // A smooth picture, which JPEG keeps closely.
    TImageRecord photo = Samples(TColorModel::RGB, 8, 40, 24);
    std::string smooth(static_cast<std::size_t>(40 * 24 * 3), '\0');
    for (std::size_t i = 0; i < smooth.size(); ++i) smooth[i] = static_cast<char>(60 + (i / 3 % 40) * 3 + i % 3 * 20);
    photo.Bytes = Shared(smooth);
    photo.PhotoSamples = true;
    photo.SoftMask = std::make_shared<TImageRecord>(Samples(TColorModel::Gray, 8, 40, 24));

    const TWritten jpeg = WriteRecord(dir, photo);
    EXPECT_QPDF_CLEAN(jpeg.Pdf);
    EXPECT_NE(ObjectBody(jpeg.Bytes, jpeg.Image).find("/Filter [/DCTDecode ]"), std::string::npos);
    const std::string decoded = StreamData(jpeg.Pdf, jpeg.Image, "--decode-level=all --filtered-stream-data");
    ASSERT_EQ(decoded.size(), smooth.size());
    int worst = 0;
    for (std::size_t i = 0; i < smooth.size(); ++i)
        worst = std::max(worst, std::abs(static_cast<unsigned char>(decoded[i]) - static_cast<unsigned char>(smooth[i])));
    EXPECT_LE(worst, 8);
    EXPECT_EQ(Decoded(jpeg.Pdf, jpeg.Mask), *photo.SoftMask->Bytes);  // alpha stays exact

    const TWritten exact = WriteRecord(dir, photo, {.LosslessDecoded = true});
    EXPECT_NE(ObjectBody(exact.Bytes, exact.Image).find("/Filter [/FlateDecode ]"), std::string::npos);
    EXPECT_EQ(Decoded(exact.Pdf, exact.Image), smooth);

    // Chroma at half resolution from 2 megapixels on; grey and 16-bit photos are never JPEG.
    photo.SoftMask = nullptr;
    for (const auto& [width, height, subsampled] : {std::tuple{1999, 1000, false}, std::tuple{2000, 1000, true}}) {
        photo.Width = width;
        photo.Height = height;
        photo.Bytes = Shared(std::string(static_cast<std::size_t>(width) * height * 3, '\x40'));
        const auto image = MakeRecordImage(photo, {});
        EXPECT_EQ(image->Encoding(), TStreamEncoding::Jpeg);
        EXPECT_EQ(image->JpegSettings().Subsampled, subsampled) << width;
        EXPECT_EQ(image->JpegSettings().Quality, 92);
    }
    TImageRecord deep = Samples(TColorModel::RGB, 16);
    deep.PhotoSamples = true;
    EXPECT_EQ(MakeRecordImage(deep, {})->Encoding(), TStreamEncoding::Flate);
}

TEST(PdfRecordImage, SlicesOfAFileChangedSinceLoadingFailTheSave) {
    TempDir dir;
    const fs::path file = dir / "picture.png";
    const TImageRecord rgb = Samples(TColorModel::RGB, 8);
    const std::string idat = PngIdat(rgb);
    WriteFileBytes(file, idat);
    TImageRecord record = rgb;
    record.Encoding = TImageEncoding::Flate;
    record.Bytes = nullptr;
    record.Slices = {{0, idat.size()}};
    record.Source = TRecordSource{file.string(), IdentityOf(file)};
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    doc.AddImage("R", MakeRecordImage(record, {}, "PNG"));
    WriteFileBytes(file, idat + "more");  // another size and time: another file
    EXPECT_THROW_MSG(Saved(doc), Exception,
                     "Cannot read PNG file \"" + file.string() + "\": the file has changed since it was loaded");
}

TEST(PdfRecordImage, RecordsThatAreNoImageAreRefusedNamingTheFile) {
    TImageRecord shortData = Samples(TColorModel::RGB, 8);
    shortData.Bytes = Shared("abc");
    const TImageRecord badPalette = With(Samples(TColorModel::Indexed, 2), [](auto& r) { r.Palette = std::string(15, 'x'); });
    const TImageRecord colourMask = With(Samples(TColorModel::Gray, 8), [](auto& r) {
        r.SoftMask = std::make_shared<TImageRecord>(Samples(TColorModel::RGB, 8));
    });
    for (const TImageRecord& record : {shortData, badPalette, colourMask}) {
        const TPicture picture(std::make_unique<TRecordImage>(std::make_shared<TImageRecord>(record), "/p/x.png"));
        try {
            CreatePdfImage(picture, "Pdf-Record");
            ADD_FAILURE() << "accepted";
        } catch (const EPdfInvalidValue& refused) {
            EXPECT_EQ(std::string(refused.what()).rfind("\"/p/x.png\": the picture cannot be written", 0), 0u) << refused.what();
        }
    }
    EXPECT_THROW_MSG(CreatePdfImage(TPicture(), "Pdf-Record"), EPdfInvalidValue, "only record image is allowed.");
}

}  // namespace
}  // namespace tovra::test
