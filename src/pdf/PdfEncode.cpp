#include "pdf/PdfEncode.h"

#include "pdf/PdfFlate.h"

namespace tovra {

std::string EncodeStreamBytes(TStreamEncoding encoding, const TJpegEncodeSettings& jpeg, std::string_view raw) {
    switch (encoding) {
        case TStreamEncoding::Flate: return FlateCompress(raw);
        case TStreamEncoding::Jpeg: return JpegCompress(raw, jpeg);
        default: return std::string(raw);
    }
}

}  // namespace tovra
