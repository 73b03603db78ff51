#pragma once
// The stages that make a stream's deflated data: PNG prediction, then deflating, by zlib (the
// established bytes) or by libdeflate (the compact encoding of image samples). Chosen once, from
// what the stream is (its encoding, PdfEncode.h, and its dictionary), before any work starts.
//
//   const TDataEncoding encoding = ChooseEncoding(stream, compact);
//   DescribeEncoding(stream, encoding);   // /DecodeParms, on the thread that owns the stream
//   bytes = EncodeStreamData(encoding, std::move(raw));   // on any thread
#include <cstdint>
#include <memory>
#include <string>

namespace tovra {

class TPdfStream;

enum class TDeflater : std::uint8_t {
    None,     // the bytes are copied as they are
    Zlib,     // zlib at level 9 (FlateCompress): the format's established bytes
    Compact,  // libdeflate (CompactDeflate): smaller and faster
};

// libdeflate's levels for the compact encoding, measured on photos and screenshots. Predicted rows
// deflate alike at every level up to 9, so they take 9; above 9 the parse is near-optimal and
// slower than zlib's level 9. Unpredicted samples (palettes) take 5: at 8 and 9 a screenshot is
// 3% smaller but takes three to five times as long, and at 6 and 7 both photos and screenshots
// come out larger than at 5.
inline constexpr int kCompactPredictedLevel = 9;
inline constexpr int kCompactUnpredictedLevel = 5;

struct TDataEncoding {
    TDeflater Deflate = TDeflater::None;
    int CompactLevel = kCompactPredictedLevel;  // for TDeflater::Compact
    // PNG prediction before deflating, over rows of PredictColumns pixels of PredictColors
    // components of PredictBits bits; no prediction while PredictColors is 0.
    int PredictColors = 0;
    int PredictBits = 8;
    int PredictColumns = 0;

    bool Predicts() const { return PredictColors > 0; }
};

// The encoding of a stream's data: data the stream deflates (PdfEncode.h) by zlib, other data
// copied (JPEG encodes are not described here).
// With compactImages, an image XObject whose data are unencoded samples under /FlateDecode alone
// is deflated by libdeflate instead, and PNG-predicted first when its samples are 8-bit grey or
// RGB (palette and 1-bit pictures gain nothing from prediction), each at its level above.
TDataEncoding ChooseEncoding(const TPdfStream& stream, bool compactImages);

// Tells readers about the prediction the encoding applies: /DecodeParms [<< /Predictor 15 /Colors n
// /BitsPerComponent b /Columns w >>], one entry for the one filter. Encodings without prediction
// change nothing.
void DescribeEncoding(TPdfStream& stream, const TDataEncoding& encoding);

// The data encoded: predicted, then deflated, as the encoding says. The raw bytes are let go as
// soon as the predicted rows are made.
std::string EncodeStreamData(const TDataEncoding& encoding, std::shared_ptr<const std::string> raw);

}  // namespace tovra
