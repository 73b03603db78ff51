#include "pdf/PdfJpegImage.h"

#include "common/Exceptions.h"
#include "imaging/JpegHuffmanTables.h"
#include "imaging/JpegImage.h"
#include "pdf/PdfStreamData.h"

namespace tovra {

namespace {

const char* ColorSpaceOf(int components) {
    switch (components) {
    case 1: return "DeviceGray";
    case 4: return "DeviceCMYK";
    default: return "DeviceRGB";
    }
}

}  // namespace

std::unique_ptr<TPdfImage> TPdfJpegImage::CreateImage(const TPicture& picture) {
    const TJpegImage* jpeg = picture.Jpeg();
    if (!jpeg) throw EPdfInvalidValue("only jpeg image is allowed.");
    auto image = std::make_unique<TPdfImage>();
    image->SetEncoding(TStreamEncoding::AsIs);  // the JPEG data is written as it is
    if (const std::optional<std::size_t> at = jpeg->Info().missingHuffmanTablesAt) {
        // Some readers draw nothing of a frame without tables: it goes in with the standard ones.
        const QByteArray& bytes = jpeg->Data();
        image->Data().Write(WithStandardHuffmanTables(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())}, *at));
    } else if (jpeg->Source()) {
        // Copied from the file when the document is written, not held until then.
        const TJpegFileSource& source = *jpeg->Source();
        const auto size = static_cast<std::uint64_t>(source.Identity.Size);
        image->SetEncodedData(
            std::make_unique<TFileSliceData>("JPEG", source.Path, source.Identity, std::vector<TFileSlice>{{0, size}}));
    } else {
        const QByteArray& bytes = jpeg->Data();
        image->Data().Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }

    TPdfDictionary& dict = image->Dict();
    dict.Put("Type", std::make_unique<TPdfName>("XObject"));
    dict.Put("Subtype", std::make_unique<TPdfName>("Image"));
    dict.Put("ColorSpace", std::make_unique<TPdfName>(ColorSpaceOf(jpeg->Components())));
    dict.Put("Width", std::make_unique<TPdfNumber>(jpeg->Width()));
    dict.Put("Height", std::make_unique<TPdfNumber>(jpeg->Height()));
    dict.Put("BitsPerComponent", std::make_unique<TPdfNumber>(8));
    if (jpeg->Components() == 4 && jpeg->HasAdobeMarker())
        dict.Put("Decode", TPdfArray::CreateFromIntegers(nullptr, {1, 0, 1, 0, 1, 0, 1, 0}));
    dict.ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("DCTDecode"));
    return image;
}

}  // namespace tovra
