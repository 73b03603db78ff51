#include "PngRecord.h"

#include <algorithm>
#include <string>

#include "ImageErrors.h"
#include "PngChunks.h"
#include "PngProfile.h"
#include "PngRows.h"
#include "PngSamples.h"

namespace tovra {

namespace {

std::uint16_t BigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

int IndexAt(const std::uint8_t* row, std::uint32_t i, int bits) {
    if (bits == 8) return row[i];
    const std::uint64_t bit = std::uint64_t{i} * bits;
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    return (row[bit / 8] >> shift) & ((1 << bits) - 1);
}

std::shared_ptr<const TImageRecord> GrayRecord(const TPngHeader& header, int bits, std::string bytes) {
    auto mask = std::make_shared<TImageRecord>();
    mask->Width = static_cast<int>(header.Width);
    mask->Height = static_cast<int>(header.Height);
    mask->Color = TColorModel::Gray;
    mask->BitsPerComponent = bits;
    mask->Encoding = TImageEncoding::Samples;
    mask->Bytes = std::make_shared<const std::string>(std::move(bytes));
    return mask;
}

// Walks the rows of a palette picture: every index must have a palette entry; with a tRNS
// chunk, the alpha of each pixel's index becomes the soft mask.
std::shared_ptr<const TImageRecord> CheckPaletteRows(std::span<const std::uint8_t> file, const TPngLayout& layout) {
    const TPngHeader& header = layout.Header;
    const int entries = static_cast<int>(layout.Palette.size() / 3);
    std::string alphaOfIndex(256, '\xFF');
    if (layout.Transparency) {
        const auto trns = file.subspan(layout.Transparency->Offset, layout.Transparency->Length);
        std::copy(trns.begin(), trns.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(trns.size(), 256)),
                  alphaOfIndex.begin());
    }
    std::string alpha;
    WalkPngRows(file, layout, [&](const TPngRow& row) {
        // Made at the first row, once the data has been found large enough for the picture.
        if (layout.Transparency && alpha.empty()) alpha.resize(std::size_t{header.Width} * header.Height);
        char* alphaRow = alpha.empty() ? nullptr : alpha.data() + std::size_t{row.Y} * header.Width;
        for (std::uint32_t i = 0; i < row.Pixels; ++i) {
            const int index = IndexAt(row.Bytes.data(), i, header.BitDepth);
            if (index >= entries)
                throw DecodeError("palette shorter than the indices used (index " + std::to_string(index) +
                                  " in a palette of " + std::to_string(entries) + " colours)");
            if (alphaRow) alphaRow[row.FirstX + i * row.StepX] = alphaOfIndex[static_cast<std::size_t>(index)];
        }
    });
    if (alpha.empty()) return nullptr;
    return GrayRecord(header, 8, std::move(alpha));
}

// A tRNS colour key on a grey or RGB picture as a /Mask range per component. A key no
// sample can take (above the bit depth) masks nothing and is left out.
std::vector<std::int32_t> ColorKey(std::span<const std::uint8_t> file, const TPngLayout& layout) {
    const TPngHeader& header = layout.Header;
    if (!layout.Transparency || header.ColorType == TPngColorType::Palette) return {};
    const std::uint8_t* data = file.data() + layout.Transparency->Offset;
    const int components = header.ColorType == TPngColorType::RGB ? 3 : 1;
    const std::int32_t largest = (1 << header.BitDepth) - 1;
    std::vector<std::int32_t> key;
    for (int c = 0; c < components; ++c) {
        const std::int32_t value = BigEndian16(data + 2 * c);
        if (value > largest) return {};
        key.push_back(value);
        key.push_back(value);
    }
    return key;
}

// The data of a picture a PDF can take as it is: the IDAT data under the PNG predictor.
void CarryImageData(TImageRecord& record, std::span<const std::uint8_t> file, const TPngLayout& layout,
                    const std::optional<TRecordSource>& source) {
    const TPngHeader& header = layout.Header;
    record.Encoding = TImageEncoding::Flate;
    record.DecodeParms = {{"Predictor", 15},
                          {"Colors", header.Channels()},
                          {"BitsPerComponent", header.BitDepth},
                          {"Columns", static_cast<std::int32_t>(header.Width)}};
    if (source) {
        record.Source = source;
        for (const TPngSpan& slice : layout.ImageData) record.Slices.push_back({slice.Offset, slice.Length});
        return;
    }
    std::string bytes;
    for (const TPngSpan& slice : layout.ImageData)
        bytes.append(reinterpret_cast<const char*>(file.data() + slice.Offset), slice.Length);
    record.Bytes = std::make_shared<const std::string>(std::move(bytes));
}

}  // namespace

std::shared_ptr<const TImageRecord> MakePngRecord(std::span<const std::uint8_t> file,
                                                  const std::optional<TRecordSource>& source) {
    const TPngLayout layout = WalkPngChunks(file);
    const TPngHeader& header = layout.Header;
    CheckDecodedSize(header.Width, header.Height, std::max(1, header.Channels() * header.BitDepth / 8));

    auto record = std::make_shared<TImageRecord>();
    record->Width = static_cast<int>(header.Width);
    record->Height = static_cast<int>(header.Height);
    record->BitsPerComponent = header.BitDepth;
    switch (header.ColorType) {
        case TPngColorType::Gray:
        case TPngColorType::GrayAlpha: record->Color = TColorModel::Gray; break;
        case TPngColorType::RGB:
        case TPngColorType::RGBA: record->Color = TColorModel::RGB; break;
        case TPngColorType::Palette:
            record->Color = TColorModel::Indexed;
            record->Palette.assign(layout.Palette.begin(), layout.Palette.end());
            break;
    }
    if (layout.ColorProfile)
        record->IccProfile = PngColorProfile(file.subspan(layout.ColorProfile->Offset, layout.ColorProfile->Length), header);
    record->ColorKeyMask = ColorKey(file, layout);

    // The image data is checked in full before anything is decoded or carried.
    if (header.ColorType == TPngColorType::Palette)
        record->SoftMask = CheckPaletteRows(file, layout);
    else
        WalkPngRows(file, layout);

    if (!header.Interlaced && !header.HasAlpha()) {
        CarryImageData(*record, file, layout, source);
        return record;
    }
    TPngSamples samples = DecodePngSamples(file, header);
    record->Encoding = TImageEncoding::Samples;
    record->Bytes = std::make_shared<const std::string>(std::move(samples.Color));
    if (header.HasAlpha()) record->SoftMask = GrayRecord(header, header.BitDepth, std::move(samples.Alpha));
    return record;
}

}  // namespace tovra
