#include "TiffDecode.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ImageErrors.h"
#include "TiffBands.h"
#include "TiffFax.h"
#include "TiffPage.h"
#include "TiffRgba.h"

namespace tovra {

namespace {

std::shared_ptr<const TImageRecord> AlphaRecord(int width, int height, int bits, std::string bytes) {
    auto mask = std::make_shared<TImageRecord>();
    mask->Width = width;
    mask->Height = height;
    mask->BitsPerComponent = bits;
    mask->Color = TColorModel::Gray;
    mask->Bytes = std::make_shared<const std::string>(std::move(bytes));
    return mask;
}

// The picture's memory is reserved whole but filled band by band as the data decodes, so a file
// that claims a large picture without the data for it takes little more than it holds.
std::shared_ptr<TImageRecord> SamplesRecord(const TTiffHandle& handle, const TTiffPage& page) {
    TTiffSampleReader reader(handle, page);
    const std::int64_t alphaRowBytes = reader.AlphaRowBytes();
    const int pixelBytes = static_cast<int>(std::max<std::int64_t>(1, (page.ColorSamples * page.Bits + 7) / 8 + alphaRowBytes / page.Width));
    CheckDecodedSize(page.Width, page.Height, pixelBytes);
    std::string colour, alpha;
    colour.reserve(static_cast<std::size_t>(page.RowBytes() * page.Height));
    alpha.reserve(static_cast<std::size_t>(alphaRowBytes * page.Height));
    std::vector<std::uint8_t> colourBand(static_cast<std::size_t>(page.RowBytes() * reader.BandRows()));
    std::vector<std::uint8_t> alphaBand(static_cast<std::size_t>(alphaRowBytes * reader.BandRows()));
    for (int top = 0; top < page.Height; top += reader.BandRows()) {
        reader.ReadBand(top, colourBand.data(), alphaRowBytes ? alphaBand.data() : nullptr);
        const auto rows = static_cast<std::size_t>(std::min(reader.BandRows(), page.Height - top));
        colour.append(reinterpret_cast<const char*>(colourBand.data()), rows * static_cast<std::size_t>(page.RowBytes()));
        alpha.append(reinterpret_cast<const char*>(alphaBand.data()), rows * static_cast<std::size_t>(alphaRowBytes));
    }

    auto record = std::make_shared<TImageRecord>();
    record->BitsPerComponent = page.Bits;
    record->Color = page.Color;
    record->Palette = page.Palette;
    if (page.MinIsWhite) record->Decode = {1, 0};
    record->Bytes = std::make_shared<const std::string>(std::move(colour));
    if (alphaRowBytes) record->SoftMask = AlphaRecord(page.Width, page.Height, page.Bits, std::move(alpha));
    return record;
}

std::shared_ptr<TImageRecord> RgbaRecord(const TTiffHandle& handle, const TTiffPage& page) {
    TTiffRgbaReader reader(handle, page);
    const bool hasAlpha = reader.HasAlpha();
    CheckDecodedSize(page.Width, page.Height, hasAlpha ? 4 : 3);
    const std::size_t width = static_cast<std::size_t>(page.Width);
    // libtiff fills the band whole before it is read: its pages need not be touched before.
    const auto band = std::make_unique_for_overwrite<std::uint32_t[]>(width * static_cast<std::size_t>(reader.BandRows()));
    std::string colour, alpha;
    colour.reserve(width * 3 * static_cast<std::size_t>(page.Height));
    alpha.reserve(hasAlpha ? width * static_cast<std::size_t>(page.Height) : 0);
    for (int top = 0; top < page.Height; top += reader.BandRows()) {
        reader.ReadBand(top, band.get());
        const std::size_t pixels = width * static_cast<std::size_t>(std::min(reader.BandRows(), page.Height - top));
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint32_t pixel = band[i];
            const std::uint32_t a = TIFFGetA(pixel);
            const std::uint32_t rgb[3] = {TIFFGetR(pixel), TIFFGetG(pixel), TIFFGetB(pixel)};
            for (const std::uint32_t value : rgb) {
                // libtiff premultiplies; the record holds colours apart from their alpha.
                const std::uint32_t apart =
                    !hasAlpha || a == 255 ? value : a == 0 ? 0 : std::min<std::uint32_t>(255, (value * 255 + a / 2) / a);
                colour.push_back(static_cast<char>(apart));
            }
            if (hasAlpha) alpha.push_back(static_cast<char>(a));
        }
    }
    auto record = std::make_shared<TImageRecord>();
    record->BitsPerComponent = 8;
    record->Color = TColorModel::RGB;
    record->Bytes = std::make_shared<const std::string>(std::move(colour));
    if (hasAlpha) record->SoftMask = AlphaRecord(page.Width, page.Height, 8, std::move(alpha));
    return record;
}

}  // namespace

std::shared_ptr<const TImageRecord> DecodeTiffPage(const TTiffHandle& handle,
                                                   const std::optional<TRecordSource>& source) {
    const TTiffPage page = DescribeTiffPage(handle);
    std::shared_ptr<TImageRecord> record;
    if (page.Route == TTiffRoute::Fax) record = FaxRecord(handle, page, source);
    if (!record) record = page.Route == TTiffRoute::Rgba ? RgbaRecord(handle, page) : SamplesRecord(handle, page);
    record->Width = page.Width;
    record->Height = page.Height;
    record->Orientation = page.Orientation;
    return record;
}

}  // namespace tovra
