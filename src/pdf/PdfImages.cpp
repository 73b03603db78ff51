#include "pdf/PdfImages.h"

#include <QPainter>

#include "common/Exceptions.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfRecordImage.h"

namespace tovra {

namespace {

constexpr int kIndexedTableSize = 256;

void AppendHexByte(std::string& out, int byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(byte >> 4) & 0x0F];
    out += kDigits[byte & 0x0F];
}

// "<" then "RRGGBB " for each of the 256 entries, then ">": 1794 bytes.
std::string ColorTableString(const QList<QRgb>& palette) {
    std::string table = "<";
    table.reserve(2 + 7 * kIndexedTableSize);
    for (int i = 0; i < kIndexedTableSize; ++i) {
        const QRgb color = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        AppendHexByte(table, qRed(color));
        AppendHexByte(table, qGreen(color));
        AppendHexByte(table, qBlue(color));
        table += ' ';
    }
    table += '>';
    return table;
}

// Rows from the top, the first bytesPerRow bytes of each (no row padding).
void AppendRows(const TBitmap& bitmap, std::size_t bytesPerRow, TMemoryStream& data) {
    data.Reserve(bytesPerRow * static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y) data.Write(bitmap.ScanLine(y), bytesPerRow);
}

// Pixels with alpha are laid on white, as on the preview's sheet of paper, rather than
// shown in whatever colour a transparent pixel happens to hold.
void FlattenOntoWhite(TBitmap& bitmap) {
    if (!bitmap.Image().hasAlphaChannel()) return;
    QImage flat(bitmap.Image().size(), QImage::Format_RGB32);
    if (flat.isNull()) throw Exception("not enough memory for a " + std::to_string(bitmap.Width()) + " x " +
                                       std::to_string(bitmap.Height()) + " image");
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, bitmap.Image());
    painter.end();
    bitmap.SetImage(std::move(flat));
}

bool IsPaletteFormat(TPixelFormat format) { return format == pf1bit || format == pf4bit || format == pf8bit; }

}  // namespace

std::unique_ptr<TPdfImage> TPdfImageCreator::CreateImage(const TPicture&) { return nullptr; }

std::unique_ptr<TPdfImage> TPdfImageCreator::CreateImageFor(const TPicture& picture, const TPdfImageOptions&) {
    return CreateImage(picture);
}

std::unique_ptr<TPdfArray> TPdfImageCreator::CreateIndexedColorSpace(const TBitmap& bitmap) {
    if (bitmap.PixelFormat() != pf8bit) throw EPdfInvalidImageFormat("only 8 bit color image is allowed.");
    const QList<QRgb> palette = bitmap.Palette();
    if (palette.isEmpty()) throw EPdfInvalidImageFormat("failed to get Palette..");
    auto table = std::make_unique<TPdfBinary>();
    table->Data().Write(ColorTableString(palette));
    auto colorSpace = std::make_unique<TPdfArray>();
    colorSpace->Add(std::make_unique<TPdfName>("Indexed"));
    colorSpace->Add(std::make_unique<TPdfName>("DeviceRGB"));
    colorSpace->Add(std::make_unique<TPdfNumber>(kIndexedTableSize - 1));
    colorSpace->Add(std::move(table));
    return colorSpace;
}

std::unique_ptr<TPdfImage> TPdfBitmapImage::CreateImage(const TPicture& picture) {
    auto image = std::make_unique<TPdfImage>();
    image->Dict().Put("Type", std::make_unique<TPdfName>("XObject"));
    image->Dict().Put("Subtype", std::make_unique<TPdfName>("Image"));

    TBitmap copy;  // the picture itself stays as it is
    copy.Assign(picture);
    const auto width = static_cast<std::size_t>(copy.Width());
    if (IsPaletteFormat(copy.PixelFormat())) {
        // Widening to one byte per pixel keeps each pixel's index and the colour table.
        copy.SetPixelFormat(pf8bit);
        AppendRows(copy, width, image->Data());
        image->Dict().Put("ColorSpace", CreateIndexedColorSpace(copy));
    } else {
        // Red, green, blue bytes (QImage::Format_RGB888); a fourth byte is dropped.
        FlattenOntoWhite(copy);
        copy.SetPixelFormat(pf24bit);
        AppendRows(copy, 3 * width, image->Data());
        image->Dict().Put("ColorSpace", std::make_unique<TPdfName>("DeviceRGB"));
    }
    image->Dict().Put("Width", std::make_unique<TPdfNumber>(copy.Width()));
    image->Dict().Put("Height", std::make_unique<TPdfNumber>(copy.Height()));
    image->Dict().Put("BitsPerComponent", std::make_unique<TPdfNumber>(8));
    image->Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("FlateDecode"));
    image->SetEncoding(TStreamEncoding::Flate);
    return image;
}

std::unique_ptr<TPdfImage> CreatePdfImage(const TPicture& picture, const std::string& creatorName,
                                          const TPdfImageOptions& options) {
    const TPdfImageCreatorFactory* factory = TImageCreatorRegistry::Instance().Find(creatorName);
    if (!factory || !*factory) throw Exception("AddImage --InvalidImageClassName:" + creatorName);
    const std::unique_ptr<TPdfImageCreator> creator = (*factory)();
    return creator->CreateImageFor(picture, options);
}

void RegisterImageCreators() {
    auto& registry = TImageCreatorRegistry::Instance();
    registry.Register("Pdf-Bitmap", [] { return std::make_unique<TPdfBitmapImage>(); });
    registry.Register("Pdf-Jpeg", [] { return std::make_unique<TPdfJpegImage>(); });
    registry.Register("Pdf-Record", [] { return std::make_unique<TPdfRecordImage>(); });
}

void UnregisterImageCreators() {
    auto& registry = TImageCreatorRegistry::Instance();
    registry.Unregister("Pdf-Record");
    registry.Unregister("Pdf-Jpeg");
    registry.Unregister("Pdf-Bitmap");
}

}  // namespace tovra
