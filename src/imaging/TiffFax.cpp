#include "TiffFax.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FaxGroup4Check.h"
#include "ImageErrors.h"
#include "TiffBands.h"
#include "TiffFaxEncoder.h"

namespace tovra {

namespace {

bool OnlyZeros(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

// Whether `strip` is `coding` followed by nothing but zero bytes.
bool IsFollowedByZeros(std::string_view strip, std::string_view coding) {
    return strip.starts_with(coding) && OnlyZeros(strip.substr(coding.size()));
}

// A Group 4 coding without its end-of-block code (two end-of-line codes, 0x001001 on 24 bits),
// its last byte padded with zero bits; empty when it does not end with one.
std::string WithoutEndOfBlock(std::string_view coding) {
    const std::size_t lastByte = coding.find_last_not_of('\0');
    if (lastByte == std::string_view::npos) return {};
    const auto last = static_cast<std::uint8_t>(coding[lastByte]);
    const int trailingZeros = std::countr_zero(last);
    const std::uint64_t endBit = (lastByte + 1) * 8 - static_cast<std::uint64_t>(trailingZeros);  // after the final 1
    if (endBit < 24) return {};
    const std::uint64_t start = endBit - 24;
    const auto bit = [&coding](std::uint64_t at) { return (static_cast<std::uint8_t>(coding[at / 8]) >> (7 - at % 8)) & 1; };
    for (std::uint64_t at = start; at < endBit; ++at)
        if (bit(at) != (at - start == 11 || at - start == 23 ? 1 : 0)) return {};
    std::string rows(coding.substr(0, static_cast<std::size_t>((start + 7) / 8)));
    if (start % 8) rows.back() = static_cast<char>(static_cast<std::uint8_t>(rows.back()) & (0xFF00 >> (start % 8)));
    return rows;
}

}  // namespace

// Whether a strict CCITT decoder reads the strip exactly as libtiff reads it. Coding is canonical
// (pass, vertical or horizontal mode as the positions of the changing pixels dictate; run-length
// codes and end-of-line codes as the page's options dictate), so data a strict decoder reads as
// the rows libtiff decodes is the coding libtiff makes of them: accepted when the strip is that
// coding, for Group 4 with or without the end-of-block code, followed only by zero bytes. Data
// libtiff reads only by bending the rules (runs past the end of a row, codes it skips) differs
// from it, and so does 2-D Group 3 data whose coder chose its 1-D rows otherwise than libtiff.
// The rows are decoded band by band and coded as they come; a warning while decoding (libtiff
// patched damaged rows, which another decoder may patch differently) also refuses the strip.
bool DecodesAsLibtiffCodes(const TTiffHandle& handle, const TTiffPage& page, std::string_view strip) {
    TTiffSampleReader reader(handle, page);
    // The coding equals the strip, or is at most the end-of-block code longer.
    TFaxStripCoder coder(handle.Get(), page, strip.size() + 3);
    std::vector<std::uint8_t> band(static_cast<std::size_t>(page.RowBytes() * reader.BandRows()));
    handle.ClearMessages();
    for (int top = 0; top < page.Height; top += reader.BandRows()) {
        reader.ReadBand(top, band.data(), nullptr);
        // A coding that outgrows the strip cannot be it (damage further on is then reported by
        // the decoding as samples).
        if (!coder.AddRows(band.data(), std::min(reader.BandRows(), page.Height - top))) return false;
    }
    const std::optional<std::string> coding = coder.Finish();
    if (handle.Warned() || !coding) return false;
    if (IsFollowedByZeros(strip, *coding)) return true;
    if (page.Compression != COMPRESSION_CCITTFAX4) return false;
    const std::string withoutEnd = WithoutEndOfBlock(*coding);
    return !withoutEnd.empty() && IsFollowedByZeros(strip, withoutEnd);
}

namespace {

std::vector<TDecodeParm> FaxParameters(TIFF* tiff, const TTiffPage& page) {
    std::int32_t k = 0;
    if (page.Compression == COMPRESSION_CCITTFAX4) {
        k = -1;
    } else if (page.Compression == COMPRESSION_CCITTFAX3) {
        const auto options = TiffField<std::uint32_t>(tiff, TIFFTAG_GROUP3OPTIONS);
        // Two-dimensional coding: a positive K. TIFF does not say how many 2-D rows may follow a
        // 1-D row; the tag bit after each end-of-line says which it is, and the page height bounds it.
        if (options & GROUP3OPT_2DENCODING) k = page.Height;
        // Fill bits (zeros before each end-of-line so that it ends on a byte) need no parameter:
        // every decoder skips zeros before an end-of-line, while /EncodedByteAlign makes some
        // align the end-of-line itself and then misread the rows.
    }
    std::vector<TDecodeParm> parameters = {{"K", k}, {"Columns", page.Width}, {"Rows", page.Height}};
    // The decoder gives 0 for black by default; where 0 is black in the file (MinIsBlack), the
    // runs it calls black are the ones shown white.
    if (!page.MinIsWhite) parameters.push_back({"BlackIs1", 1, true});
    // CCITT RLE: no end-of-line codes, every row starts on a byte.
    if (page.Compression == COMPRESSION_CCITTRLE) parameters.push_back({"EncodedByteAlign", 1, true});
    return parameters;
}

}  // namespace

std::shared_ptr<TImageRecord> FaxRecord(const TTiffHandle& handle, const TTiffPage& page,
                                        const std::optional<TRecordSource>& source) {
    CheckStripLayout(handle, page);
    TIFF* tiff = handle.Get();
    const TFileSlice slice{TIFFGetStrileOffset(tiff, 0), TIFFGetStrileByteCount(tiff, 0)};
    std::string strip(static_cast<std::size_t>(slice.Length), '\0');
    if (!handle.Source().Read(strip.data(), strip.size(), slice.Offset)) throw DecodeError("the strip lies outside the file");
    // Scanners and libtiff write Group 4 pages as libtiff codes them, which the coding itself
    // shows at a fraction of the cost of decoding the page and coding it again.
    const bool asLibtiffCodes = page.Compression == COMPRESSION_CCITTFAX4 && IsLibtiffGroup4Coding(strip, page.Width, page.Height);
    if (!asLibtiffCodes && !DecodesAsLibtiffCodes(handle, page, strip)) return nullptr;

    auto record = std::make_shared<TImageRecord>();
    record->BitsPerComponent = 1;
    record->Color = TColorModel::Gray;
    record->Encoding = TImageEncoding::CCITTFax;
    record->DecodeParms = FaxParameters(tiff, page);
    if (source) {
        record->Slices = {slice};
        record->Source = source;
    } else {
        record->Bytes = std::make_shared<const std::string>(std::move(strip));
    }
    return record;
}

}  // namespace tovra
