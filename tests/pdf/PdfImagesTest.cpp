// Image objects made from bitmaps and JPEG pictures: dictionaries in their order, pixel
// data layouts, the Indexed colour space and the creator registry's failures.
#include <gtest/gtest.h>

#include <filesystem>

#include <QBuffer>

#include "PdfTestUtil.h"
#include "TestImages.h"
#include "common/Exceptions.h"
#include "imaging/ImageLoaders.h"
#include "imaging/JpegHuffmanTables.h"
#include "imaging/JpegImage.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfJpegImage.h"

namespace tovra::test {
namespace {

TPicture BitmapPicture(QImage image) { return TPicture(std::make_unique<TBitmap>(std::move(image))); }

std::vector<std::string> Keys(const TPdfDictionary& dict) {
    std::vector<std::string> keys;
    for (int i = 0; i < dict.ItemCount(); ++i) keys.push_back(dict.Items(i).Key);
    return keys;
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

TPicture JpegPicture(const QByteArray& bytes) {
    return TPicture(std::make_unique<TJpegImage>(ReadJpeg(bytes, "x.jpg")));
}

// ---- bitmaps --------------------------------------------------------------------------

TEST(PdfBitmapImage, TwentyFourBitPixelsGoInAsRedGreenBlueRowsFromTheTop) {
    QImage image(2, 2, QImage::Format_RGB888);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    const auto pdfImage = CreatePdfImage(BitmapPicture(image), "Pdf-Bitmap");
    EXPECT_EQ(Hex(pdfImage->Data().Bytes()), "FF 00 00 00 FF 00 00 00 FF FF FF FF");
    const TPdfDictionary& dict = pdfImage->Dict();
    EXPECT_EQ(Keys(dict), (std::vector<std::string>{"Length", "Filter", "Type", "Subtype", "ColorSpace", "Width",
                                                    "Height", "BitsPerComponent"}));
    EXPECT_EQ(dict.NameByKey("Type")->Value, "XObject");
    EXPECT_EQ(dict.NameByKey("Subtype")->Value, "Image");
    EXPECT_EQ(dict.NameByKey("ColorSpace")->Value, "DeviceRGB");
    EXPECT_EQ(dict.NumberByKey("Width")->Value, 2);
    EXPECT_EQ(dict.NumberByKey("Height")->Value, 2);
    EXPECT_EQ(dict.NumberByKey("BitsPerComponent")->Value, 8);
    EXPECT_EQ(Written(*dict.ArrayByKey("Filter")), "[/FlateDecode ]");
}

TEST(PdfBitmapImage, ThirtyTwoBitPixelsLoseTheirFourthByte) {
    QImage image(2, 1, QImage::Format_RGB32);
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(0));
    row[0] = 0x5A0A141E;  // the unused byte holds something
    row[1] = qRgb(40, 50, 60);
    EXPECT_EQ(Hex(CreatePdfImage(BitmapPicture(image), "Pdf-Bitmap")->Data().Bytes()), "0A 14 1E 28 32 3C");
    // Sixteen-bit pixels are widened the same way.
    QImage rgb16(1, 1, QImage::Format_RGB16);
    rgb16.setPixel(0, 0, qRgb(255, 255, 255));
    EXPECT_EQ(Hex(CreatePdfImage(BitmapPicture(rgb16), "Pdf-Bitmap")->Data().Bytes()), "FF FF FF");
}

TEST(PdfBitmapImage, PixelsWithAlphaAreLaidOnWhite) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 255, 0, 0));  // transparent: white, not green
    image.setPixel(1, 0, qRgba(40, 50, 60, 255));
    image.setPixel(2, 0, qRgba(0, 0, 0, 128));
    const std::string data = CreatePdfImage(BitmapPicture(image), "Pdf-Bitmap")->Data().Bytes();
    ASSERT_EQ(data.size(), 9u);
    EXPECT_EQ(Hex(data.substr(0, 6)), "FF FF FF 28 32 3C");
    for (int i = 6; i < 9; ++i) EXPECT_NEAR(static_cast<unsigned char>(data[static_cast<std::size_t>(i)]), 127, 1);
}

TEST(PdfBitmapImage, PaletteRowsAreNotPadded) {
    QImage image(3, 2, QImage::Format_Indexed8);  // rows are 4 bytes in memory
    image.setColorTable({qRgb(0, 0, 0), qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)});
    const uchar rows[2][3] = {{0, 1, 2}, {3, 2, 1}};
    for (int y = 0; y < 2; ++y) std::copy(rows[y], rows[y] + 3, image.scanLine(y));
    const auto pdfImage = CreatePdfImage(BitmapPicture(image), "Pdf-Bitmap");
    EXPECT_EQ(Hex(pdfImage->Data().Bytes()), "00 01 02 03 02 01");
    EXPECT_NE(pdfImage->Dict().ArrayByKey("ColorSpace"), nullptr);
}

TEST(PdfBitmapImage, IndexedColourSpaceHas256EntriesWithThePaletteFirst) {
    QImage image(1, 1, QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int i = 0; i < 16; ++i) palette.append(qRgb(i * 16, 255 - i, 0xAB));
    image.setColorTable(palette);
    image.fill(0);
    const auto pdfImage = CreatePdfImage(BitmapPicture(image), "Pdf-Bitmap");
    const std::string written = Written(*pdfImage->Dict().ArrayByKey("ColorSpace"));
    const std::string head = "[/Indexed /DeviceRGB 255 <";
    ASSERT_EQ(written.substr(0, head.size()), head);
    EXPECT_EQ(written.substr(written.size() - 4), " > ]");
    const std::string table = written.substr(head.size() - 1, written.size() - head.size() - 1);
    ASSERT_EQ(table.size(), 1794u);
    EXPECT_EQ(table.substr(0, 22), "<00FFAB 10FEAB 20FDAB ");
    EXPECT_EQ(table.substr(1 + 15 * 7, 7), "F0F0AB ");
    EXPECT_EQ(table.substr(1 + 16 * 7, 7), "000000 ");  // beyond the palette: black
    EXPECT_EQ(table.substr(table.size() - 8), "000000 >");
}

TEST(PdfBitmapImage, OneBitPicturesBecomeEightBitWithTheirOwnColours) {
    QImage mono(10, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(0x12, 0x34, 0x56), qRgb(0xFE, 0xDC, 0xBA)});
    mono.fill(0);
    mono.setPixel(9, 0, 1);
    const TPicture picture = BitmapPicture(mono);
    const auto pdfImage = CreatePdfImage(picture, "Pdf-Bitmap");
    EXPECT_EQ(Hex(pdfImage->Data().Bytes()), "00 00 00 00 00 00 00 00 00 01");
    const std::string colorSpace = Written(*pdfImage->Dict().ArrayByKey("ColorSpace"));
    EXPECT_NE(colorSpace.find("<123456 FEDCBA 000000 "), std::string::npos);
    EXPECT_EQ(pdfImage->Dict().NumberByKey("BitsPerComponent")->Value, 8);
    EXPECT_EQ(picture.Bitmap()->PixelFormat(), pf1bit);  // the picture itself is unchanged
}

TEST(PdfBitmapImage, FlateFilterStaysWhateverTheContentCompression) {
    TPdfDoc doc;
    FixClock(doc);
    doc.CompressionMethod = cmNone;
    doc.StartDocument();
    doc.AddPage();
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(9, 9, 9));
    TPdfImage* registered = doc.AddImage("Im1", CreatePdfImage(BitmapPicture(image), "Pdf-Bitmap"));
    doc.GetCanvas()->DrawXObject(0, 0, 4, 4, "Im1");
    const std::string file = Saved(doc);
    const std::string body = ObjectBody(file, registered->ObjectNumber());
    EXPECT_EQ(body.rfind("<<\r\n/Length ", 0), 0u) << body;
    EXPECT_NE(body.find("\r\n/Filter [/FlateDecode ]\r\n/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /DeviceRGB\r\n"
                        "/Width 4\r\n/Height 4\r\n/BitsPerComponent 8\r\n/Name /Im1\r\n>>"),
              std::string::npos)
        << body;
    ExpectQpdfClean(file);
}

TEST(PdfImageCreators, IndexedColourSpaceFailures) {
    TPdfImageCreator creator;
    EXPECT_EQ(creator.CreateImage(BitmapPicture(QImage(1, 1, QImage::Format_RGB32))), nullptr);
    EXPECT_THROW_MSG(creator.CreateIndexedColorSpace(TBitmap(QImage(1, 1, QImage::Format_RGB32))),
                     EPdfInvalidImageFormat, "only 8 bit color image is allowed.");
    EXPECT_THROW_MSG(creator.CreateIndexedColorSpace(TBitmap(QImage(1, 1, QImage::Format_Indexed8))),
                     EPdfInvalidImageFormat, "failed to get Palette..");
}

TEST(PdfImageCreators, LookupByNameIgnoresCaseAndRefusesUnknownNames) {
    const TPicture bitmap = BitmapPicture(QImage(1, 1, QImage::Format_RGB32));
    EXPECT_NE(CreatePdfImage(bitmap, "pdf-BITMAP"), nullptr);
    EXPECT_THROW_MSG(CreatePdfImage(bitmap, "Pdf-Png"), Exception, "AddImage --InvalidImageClassName:Pdf-Png");
    EXPECT_THROW_MSG(CreatePdfImage(bitmap, "Pdf-Jpeg"), EPdfInvalidValue, "only jpeg image is allowed.");
    EXPECT_THROW_MSG(CreatePdfImage(TPicture(), "Pdf-Jpeg"), EPdfInvalidValue, "only jpeg image is allowed.");

    UnregisterImageCreators();
    EXPECT_THROW_MSG(CreatePdfImage(bitmap, "Pdf-Bitmap"), Exception, "AddImage --InvalidImageClassName:Pdf-Bitmap");
    RegisterImageCreators();
}

// ---- JPEG pictures -------------------------------------------------------------------

TEST(PdfJpegImage, FileBytesGoInUnchangedUnderDctDecodeOnly) {
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(qRgb(30, 60, 90));
    const QByteArray bytes = EncodeJpeg(photo, 85);
    for (TPdfCompressionMethod method : {cmNone, cmFlateDecode}) {
        TPdfDoc doc;
        FixClock(doc);
        doc.CompressionMethod = method;
        doc.StartDocument();
        doc.AddPage();
        auto image = CreatePdfImage(JpegPicture(bytes), "Pdf-Jpeg");
        EXPECT_EQ(image->Data().Bytes(), bytes.toStdString());
        EXPECT_EQ(Keys(image->Dict()), (std::vector<std::string>{"Length", "Filter", "Type", "Subtype", "ColorSpace",
                                                                 "Width", "Height", "BitsPerComponent"}));
        TPdfImage* registered = doc.AddImage("Photo", std::move(image));
        doc.GetCanvas()->DrawXObject(0, 0, 640, 480, "Photo");
        const std::string file = Saved(doc);
        const std::string body = ObjectBody(file, registered->ObjectNumber());
        const std::string dict = "<<\r\n/Length " + std::to_string(bytes.size()) +
                                 "\r\n/Filter [/DCTDecode ]\r\n/Type /XObject\r\n/Subtype /Image\r\n"
                                 "/ColorSpace /DeviceRGB\r\n/Width 640\r\n/Height 480\r\n/BitsPerComponent 8\r\n"
                                 "/Name /Photo\r\n>>\r\nstream\r\n";
        EXPECT_EQ(body.substr(0, dict.size()), dict);
        EXPECT_EQ(body.substr(dict.size(), static_cast<std::size_t>(bytes.size())), bytes.toStdString());
        ExpectQpdfClean(file);
    }
}

// A Motion-JPEG frame goes in with the standard tables before its scan, so that every reader
// can draw it; every other byte is the file's.
TEST(PdfJpegImage, AFrameWithoutHuffmanTablesGetsTheStandardOnesBeforeItsScan) {
    const std::filesystem::path file = CorpusDir() / "jpeg" / "mjpeg.jpg";
    if (CorpusDir().empty() || !std::filesystem::exists(file)) GTEST_SKIP() << "corpus absent";
    const std::string bytes = ReadFileBytes(file);
    const std::size_t scan = bytes.find("\xFF\xDA");
    const auto image = CreatePdfImage(TPicture(LoadJpegFile(file.string())), "Pdf-Jpeg");
    EXPECT_EQ(image->Data().Bytes(),
              bytes.substr(0, scan) + std::string(StandardHuffmanTablesSegment()) + bytes.substr(scan));
}

TEST(PdfJpegImage, ColourSpaceFollowsTheComponents) {
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(100);
    const auto greyImage = CreatePdfImage(JpegPicture(EncodeJpeg(grey, 85)), "Pdf-Jpeg");
    EXPECT_EQ(greyImage->Dict().NameByKey("ColorSpace")->Value, "DeviceGray");
    EXPECT_EQ(greyImage->Dict().ValueByKey("Decode"), nullptr);

    // Four components: inverted (Adobe) data gets a Decode array right after the bits.
    const QByteArray bytes = EncodeJpeg(QImage(8, 8, QImage::Format_RGB32), 85);
    for (bool adobe : {true, false}) {
        const TJpegInfo info{8, 8, 4, adobe, false};
        const TPicture cmyk(std::make_unique<TJpegImage>(bytes, info, "cmyk.jpg"));
        const auto image = CreatePdfImage(cmyk, "Pdf-Jpeg");
        EXPECT_EQ(image->Dict().NameByKey("ColorSpace")->Value, "DeviceCMYK");
        if (adobe) {
            EXPECT_EQ(Keys(image->Dict()), (std::vector<std::string>{"Length", "Filter", "Type", "Subtype", "ColorSpace",
                                                                     "Width", "Height", "BitsPerComponent", "Decode"}));
            EXPECT_EQ(Written(*image->Dict().ArrayByKey("Decode")), "[1 0 1 0 1 0 1 0 ]");
        } else {
            EXPECT_EQ(image->Dict().ValueByKey("Decode"), nullptr);
        }
    }
}

}  // namespace
}  // namespace tovra::test
