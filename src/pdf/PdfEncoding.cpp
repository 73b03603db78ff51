#include "pdf/PdfEncoding.h"

#include "pdf/PdfEncode.h"
#include "pdf/PdfFlate.h"
#include "pdf/PdfTypes.h"
#include "pdf/PngPredictor.h"

namespace tovra {

namespace {

// Predictor 15: PNG filters, chosen row by row (ISO 32000, table 8).
constexpr int kPngOptimumPredictor = 15;

// Components of a grey or RGB colour space, given by name or as [/ICCBased profile] whose
// profile says /N; 0 for every other space (palettes, CMYK, Lab, separations ...).
int GreyOrRgbComponents(const TPdfObject* colorSpace) {
    if (const auto* name = dynamic_cast<const TPdfName*>(colorSpace)) {
        if (name->Value == "DeviceRGB") return 3;
        if (name->Value == "DeviceGray") return 1;
        return 0;
    }
    const auto* array = dynamic_cast<const TPdfArray*>(colorSpace);
    if (!array || array->ItemCount() != 2) return 0;
    const auto* family = dynamic_cast<const TPdfName*>(array->Items(0));
    const auto* profile = dynamic_cast<const TPdfStream*>(array->Items(1));
    if (!family || family->Value != "ICCBased" || !profile) return 0;
    const TPdfNumber* n = profile->Dict().NumberByKey("N");
    return n && (n->Value == 1 || n->Value == 3) ? n->Value : 0;
}

bool IsImage(const TPdfDictionary& dict) {
    const TPdfName* subtype = dict.NameByKey("Subtype");
    return TypeNameOf(dict) == "XObject" && subtype && subtype->Value == "Image";
}

// Samples the stream holds as they are: FlateDecode is the one filter, and nothing says the
// data were predicted already.
bool HoldsUnencodedSamples(const TPdfStream& stream) {
    const TPdfArray* filter = stream.Dict().ArrayByKey("Filter");
    return filter && filter->ItemCount() == 1 && filter->FindName("FlateDecode") &&
           !stream.Dict().ValueByKey("DecodeParms");
}

}  // namespace

TDataEncoding ChooseEncoding(const TPdfStream& stream, bool compactImages) {
    TDataEncoding encoding;
    const TPdfDictionary& dict = stream.Dict();
    if (stream.EffectiveEncoding() != TStreamEncoding::Flate) return encoding;
    encoding.Deflate = TDeflater::Zlib;
    if (!compactImages || !IsImage(dict) || !HoldsUnencodedSamples(stream)) return encoding;

    encoding.Deflate = TDeflater::Compact;
    encoding.CompactLevel = kCompactUnpredictedLevel;
    const TPdfNumber* bits = dict.NumberByKey("BitsPerComponent");
    const TPdfNumber* width = dict.NumberByKey("Width");
    const int colors = GreyOrRgbComponents(dict.ValueByKey("ColorSpace"));
    if (colors == 0 || !bits || bits->Value != 8 || !width || width->Value < 1) return encoding;
    // Rows the data do not fill would shift every row after them: leave such data unpredicted.
    const auto rowBytes = static_cast<std::size_t>(colors) * static_cast<std::size_t>(width->Value);
    const std::size_t size = stream.UnencodedSize();
    if (size == 0 || size % rowBytes != 0) return encoding;
    encoding.CompactLevel = kCompactPredictedLevel;
    encoding.PredictColors = colors;
    encoding.PredictBits = bits->Value;
    encoding.PredictColumns = width->Value;
    return encoding;
}

void DescribeEncoding(TPdfStream& stream, const TDataEncoding& encoding) {
    if (!encoding.Predicts()) return;
    auto parms = std::make_unique<TPdfDictionary>();
    parms->Put("Predictor", std::make_unique<TPdfNumber>(kPngOptimumPredictor));
    parms->Put("Colors", std::make_unique<TPdfNumber>(encoding.PredictColors));
    parms->Put("BitsPerComponent", std::make_unique<TPdfNumber>(encoding.PredictBits));
    parms->Put("Columns", std::make_unique<TPdfNumber>(encoding.PredictColumns));
    // One entry per filter: the stream's /Filter is an array, and readers such as poppler take
    // a lone dictionary beside an array of filters for no parameters at all.
    auto perFilter = std::make_unique<TPdfArray>();
    perFilter->Add(std::move(parms));
    stream.Dict().Put("DecodeParms", std::move(perFilter));
}

std::string EncodeStreamData(const TDataEncoding& encoding, std::shared_ptr<const std::string> raw) {
    std::string rows;
    if (encoding.Predicts()) {
        rows = PngPredict(*raw, encoding.PredictColors, encoding.PredictBits, encoding.PredictColumns);
        raw.reset();  // the samples' memory goes at once (unless the picture still holds them)
    }
    const std::string_view data = raw ? std::string_view(*raw) : std::string_view(rows);
    switch (encoding.Deflate) {
        case TDeflater::Zlib: return FlateCompress(data);
        case TDeflater::Compact: return CompactDeflate(data, encoding.CompactLevel);
        case TDeflater::None: break;
    }
    return std::string(data);
}

}  // namespace tovra
