#include "pdf/PdfRecordXObject.h"

#include <algorithm>

#include "common/Exceptions.h"
#include "pdf/PdfStreamData.h"
#include "pdf/PdfXref.h"

namespace tovra {

namespace {

[[noreturn]] void Refuse(const std::string& reason) {
    throw EPdfInvalidValue("the picture cannot be written as an image object: " + reason);
}

const char* DeviceSpaceOf(TColorModel model) {
    switch (model) {
        case TColorModel::Gray: return "DeviceGray";
        case TColorModel::CMYK: return "DeviceCMYK";
        default: return "DeviceRGB";  // RGB, and the base of Indexed palettes
    }
}

bool ValidBits(int bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16; }

void CheckPairs(const std::vector<std::int32_t>& values, int components, const char* what) {
    if (!values.empty() && values.size() != static_cast<std::size_t>(2 * components))
        Refuse(std::string(what) + " holds " + std::to_string(values.size()) + " values for " +
               std::to_string(components) + " colour components");
}

void CheckData(const TImageRecord& record) {
    if (!record.Slices.empty() && !record.Source) Refuse("the file of its data is not known");
    if (record.Slices.empty() && !record.Bytes) Refuse("it holds no data");
    if (record.Encoding == TImageEncoding::Samples) {
        const auto expected = static_cast<std::uint64_t>(record.RowBytes()) * static_cast<std::uint64_t>(record.Height);
        if (record.DataLength() != expected)
            Refuse(std::to_string(record.DataLength()) + " bytes of samples where " + std::to_string(expected) +
                   " are needed");
    } else if (record.DataLength() == 0) {
        Refuse("its data is empty");
    }
}

void CheckRecord(const TImageRecord& record, bool isMask) {
    if (record.Width <= 0 || record.Height <= 0)
        Refuse("it has no pixels (" + std::to_string(record.Width) + " x " + std::to_string(record.Height) + ")");
    if (!ValidBits(record.BitsPerComponent))
        Refuse(std::to_string(record.BitsPerComponent) + " bits per component");
    const int components = ComponentsOf(record.Color);
    if (record.Color == TColorModel::Indexed) {
        const std::size_t entries = record.Palette.size() / 3;
        if (record.BitsPerComponent > 8) Refuse("a palette picture with 16-bit indices");
        if (record.Palette.size() % 3 != 0 || entries == 0 || entries > 256 ||
            entries > (std::size_t{1} << record.BitsPerComponent))
            Refuse("a palette of " + std::to_string(record.Palette.size()) + " bytes for " +
                   std::to_string(record.BitsPerComponent) + "-bit indices");
    }
    if (isMask && (record.Color != TColorModel::Gray || record.SoftMask || !record.ColorKeyMask.empty()))
        Refuse("a soft mask that is not a plain grey picture");
    CheckPairs(record.Decode, components, "/Decode");
    CheckPairs(record.ColorKeyMask, components, "the colour key");
    const std::int32_t maxSample = (std::int32_t{1} << record.BitsPerComponent) - 1;
    for (const std::int32_t value : record.ColorKeyMask)
        if (value < 0 || value > maxSample) Refuse("a colour key value of " + std::to_string(value));
    if (record.Encoding == TImageEncoding::CCITTFax &&
        (record.Color != TColorModel::Gray || record.BitsPerComponent != 1))
        Refuse("CCITT fax data that is not 1-bit grey");
    if (record.Encoding == TImageEncoding::DCT &&
        (record.Color == TColorModel::Indexed || record.BitsPerComponent != 8))
        Refuse("JPEG data that is not 8-bit Gray, RGB or CMYK");
    CheckData(record);
    if (record.SoftMask) CheckRecord(*record.SoftMask, true);
}

// "<" then "RRGGBB " for each palette entry, then ">", as bitmaps write their colour tables.
std::unique_ptr<TPdfBinary> PaletteString(const std::string& palette) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "<";
    text.reserve(2 + palette.size() / 3 * 7);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const auto byte = static_cast<unsigned char>(palette[i]);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
        if (i % 3 == 2) text += ' ';
    }
    text += '>';
    auto binary = std::make_unique<TPdfBinary>();
    binary->Data().Write(text);
    return binary;
}

// The ICC profile as its own stream: /N components, the device space as /Alternate, Flate.
std::unique_ptr<TPdfStream> IccProfileStream(const std::string& profile, int components, const char* alternate) {
    auto stream = std::make_unique<TPdfStream>();
    stream->Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("FlateDecode"));
    stream->Dict().Put("N", std::make_unique<TPdfNumber>(components));
    stream->Dict().Put("Alternate", std::make_unique<TPdfName>(alternate));
    stream->Data().Write(profile);
    stream->SetEncoding(TStreamEncoding::Flate);
    return stream;
}

// The device space, or [/ICCBased profile] with the profile a companion of the image.
std::unique_ptr<TPdfObject> BaseSpace(const TImageRecord& record, TPdfImage& image) {
    const char* device = DeviceSpaceOf(record.Color);
    if (record.IccProfile.empty()) return std::make_unique<TPdfName>(device);
    const int components = record.Color == TColorModel::Indexed ? 3 : ComponentsOf(record.Color);
    auto array = std::make_unique<TPdfArray>();
    array->Add(std::make_unique<TPdfName>("ICCBased"));
    image.AddCompanion(IccProfileStream(record.IccProfile, components, device), *array);
    return array;
}

std::unique_ptr<TPdfObject> ColorSpace(const TImageRecord& record, TPdfImage& image) {
    std::unique_ptr<TPdfObject> base = BaseSpace(record, image);
    if (record.Color != TColorModel::Indexed) return base;
    auto indexed = std::make_unique<TPdfArray>();
    indexed->Add(std::make_unique<TPdfName>("Indexed"));
    indexed->Add(std::move(base));
    indexed->Add(std::make_unique<TPdfNumber>(static_cast<std::int32_t>(record.Palette.size() / 3) - 1));
    indexed->Add(PaletteString(record.Palette));
    return indexed;
}

// One parameter dictionary, in an array as the stream's filter is one (ISO 32000, 7.3.8.2:
// readers such as poppler refuse a lone dictionary beside a filter array).
std::unique_ptr<TPdfArray> DecodeParms(const std::vector<TDecodeParm>& parms) {
    auto dict = std::make_unique<TPdfDictionary>();
    for (const TDecodeParm& parm : parms) {
        if (parm.IsBoolean) {
            dict->Put(parm.Key, std::make_unique<TPdfBoolean>(parm.Value != 0));
        } else {
            dict->Put(parm.Key, std::make_unique<TPdfNumber>(parm.Value));
        }
    }
    auto array = std::make_unique<TPdfArray>();
    array->Add(std::move(dict));
    return array;
}

// Photo samples become one JPEG unless exact pixels are asked for; JPEG holds 8-bit Gray and
// RGB only, and a colour key or /Decode would not survive its rounding.
bool EncodesAsJpeg(const TImageRecord& record, const TPdfImageOptions& options, bool isMask) {
    return !isMask && !options.LosslessDecoded && record.PhotoSamples && record.Encoding == TImageEncoding::Samples &&
           record.BitsPerComponent == 8 && (record.Color == TColorModel::Gray || record.Color == TColorModel::RGB) &&
           record.Decode.empty() && record.ColorKeyMask.empty();
}

TJpegEncodeSettings PhotoJpegSettings(const TImageRecord& record) {
    TJpegEncodeSettings settings;
    settings.Width = record.Width;
    settings.Height = record.Height;
    settings.Components = ComponentsOf(record.Color);
    settings.Quality = kPhotoJpegQuality;
    settings.Subsampled = settings.Components == 3 &&
                          static_cast<long long>(record.Width) * record.Height >= kPhotoSubsampledPixels;
    return settings;
}

// The filter that describes the bytes written, and the encoding that makes them.
void SetFilterAndEncoding(const TImageRecord& record, bool jpeg, TPdfImage& image) {
    const char* filter = "FlateDecode";
    TStreamEncoding encoding = TStreamEncoding::AsIs;
    switch (record.Encoding) {
        case TImageEncoding::Samples:
            filter = jpeg ? "DCTDecode" : "FlateDecode";
            encoding = jpeg ? TStreamEncoding::Jpeg : TStreamEncoding::Flate;
            break;
        case TImageEncoding::Flate: filter = "FlateDecode"; break;
        case TImageEncoding::CCITTFax: filter = "CCITTFaxDecode"; break;
        case TImageEncoding::DCT: filter = "DCTDecode"; break;
    }
    image.Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>(filter));
    image.SetEncoding(encoding, jpeg ? PhotoJpegSettings(record) : TJpegEncodeSettings{});
    // Parameters describe data carried as it is; samples this writer encodes have none.
    if (record.Encoding != TImageEncoding::Samples && !record.DecodeParms.empty())
        image.Dict().Put("DecodeParms", DecodeParms(record.DecodeParms));
}

// The record's bytes, shared and not copied; data in the source file is copied from it when
// the document is written, or read now when it still has to be encoded.
void SetData(const TImageRecord& record, const std::string& kind, TPdfImage& image) {
    if (record.Slices.empty()) {
        image.SetSharedBytes(record.Bytes);
        return;
    }
    auto slices = std::make_unique<TFileSliceData>(kind, record.Source->Path, record.Source->Identity, record.Slices);
    if (record.Encoding != TImageEncoding::Samples) {
        image.SetEncodedData(std::move(slices));
        return;
    }
    image.Data().Reserve(static_cast<std::size_t>(slices->Size()));
    slices->WriteTo(image.Data());
}

std::unique_ptr<TPdfImage> BuildImage(const TImageRecord& record, const TPdfImageOptions& options,
                                      const std::string& kind, bool isMask) {
    auto image = std::make_unique<TPdfImage>();
    TPdfDictionary& dict = image->Dict();
    dict.Put("Type", std::make_unique<TPdfName>("XObject"));
    dict.Put("Subtype", std::make_unique<TPdfName>("Image"));
    dict.Put("ColorSpace", ColorSpace(record, *image));
    dict.Put("Width", std::make_unique<TPdfNumber>(record.Width));
    dict.Put("Height", std::make_unique<TPdfNumber>(record.Height));
    dict.Put("BitsPerComponent", std::make_unique<TPdfNumber>(record.BitsPerComponent));
    if (!record.Decode.empty()) dict.Put("Decode", TPdfArray::CreateFromIntegers(nullptr, record.Decode));
    SetFilterAndEncoding(record, EncodesAsJpeg(record, options, isMask), *image);
    if (!record.ColorKeyMask.empty()) dict.Put("Mask", TPdfArray::CreateFromIntegers(nullptr, record.ColorKeyMask));
    SetData(record, kind, *image);
    if (record.SoftMask) image->AddCompanion(BuildImage(*record.SoftMask, options, kind, true), "SMask");

    int version = TPdfHeader::kBaseMinorVersion;
    if (!record.IccProfile.empty() || !record.ColorKeyMask.empty()) version = std::max(version, 3);
    if (record.SoftMask) version = std::max(version, 4);
    if (record.BitsPerComponent == 16 || (record.SoftMask && record.SoftMask->BitsPerComponent == 16))
        version = std::max(version, 5);
    image->RequiredMinorVersion = version;
    return image;
}

}  // namespace

std::unique_ptr<TPdfImage> MakeRecordImage(const TImageRecord& record, const TPdfImageOptions& options,
                                           const std::string& kind) {
    CheckRecord(record, false);
    return BuildImage(record, options, kind, false);
}

}  // namespace tovra
