#include "TiffFax.h"

#include <vector>

#include "ImageErrors.h"
#include "TiffBands.h"

namespace tovra {

namespace {

// Whether libtiff decodes the whole strip without an error or a warning (a warning means it
// patched damaged rows, which another decoder may patch differently).
bool DecodesCleanly(const TTiffHandle& handle, const TTiffPage& page) {
    TTiffSampleReader reader(handle, page);
    std::vector<std::uint8_t> band(static_cast<std::size_t>(page.RowBytes() * reader.BandRows()));
    handle.ClearMessages();
    for (int top = 0; top < page.Height; top += reader.BandRows()) reader.ReadBand(top, band.data(), nullptr);
    return !handle.Warned();
}

std::vector<TDecodeParm> FaxParameters(TIFF* tiff, const TTiffPage& page) {
    std::int32_t k = 0;
    bool byteAligned = false;
    if (page.Compression == COMPRESSION_CCITTFAX4) {
        k = -1;
    } else if (page.Compression == COMPRESSION_CCITTFAX3) {
        const auto options = TiffField<std::uint32_t>(tiff, TIFFTAG_GROUP3OPTIONS);
        // Two-dimensional coding: a positive K. TIFF does not say how many 2-D rows may follow a
        // 1-D row; the tag bit after each end-of-line says which it is, and the page height bounds it.
        if (options & GROUP3OPT_2DENCODING) k = page.Height;
        byteAligned = (options & GROUP3OPT_FILLBITS) != 0;
    } else {
        byteAligned = true;  // CCITT RLE: every row starts on a byte
    }
    std::vector<TDecodeParm> parameters = {{"K", k}, {"Columns", page.Width}, {"Rows", page.Height}};
    // The decoder gives 0 for black by default; where 0 is black in the file (MinIsBlack), the
    // runs it calls black are the ones shown white.
    if (!page.MinIsWhite) parameters.push_back({"BlackIs1", 1, true});
    if (byteAligned) parameters.push_back({"EncodedByteAlign", 1, true});
    return parameters;
}

}  // namespace

std::shared_ptr<TImageRecord> FaxRecord(const TTiffHandle& handle, const TTiffPage& page,
                                        const std::optional<TRecordSource>& source) {
    if (!DecodesCleanly(handle, page)) return nullptr;
    TIFF* tiff = handle.Get();
    const TFileSlice strip{TIFFGetStrileOffset(tiff, 0), TIFFGetStrileByteCount(tiff, 0)};
    auto record = std::make_shared<TImageRecord>();
    record->Width = page.Width;
    record->Height = page.Height;
    record->BitsPerComponent = 1;
    record->Color = TColorModel::Gray;
    record->Encoding = TImageEncoding::CCITTFax;
    record->DecodeParms = FaxParameters(tiff, page);
    record->Orientation = page.Orientation;
    if (source) {
        record->Slices = {strip};
        record->Source = source;
    } else {
        std::string bytes(static_cast<std::size_t>(strip.Length), '\0');
        if (!handle.Source().Read(bytes.data(), bytes.size(), strip.Offset)) throw DecodeError("the strip lies outside the file");
        record->Bytes = std::make_shared<const std::string>(std::move(bytes));
    }
    return record;
}

}  // namespace tovra
