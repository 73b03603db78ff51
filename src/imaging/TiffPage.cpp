#include "TiffPage.h"

#include <algorithm>

#include "ImageErrors.h"

namespace tovra {

namespace {

bool IsFaxCompression(std::uint16_t compression) {
    return compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
           compression == COMPRESSION_CCITTFAX4;
}

// A single strip of CCITT data the PDF filter decodes as it is: no fill-order reversal, no
// uncompressed mode (which the filter does not know), black and white only.
bool FaxCanPassThrough(TIFF* tiff, const TTiffPage& page) {
    if (!IsFaxCompression(page.Compression) || page.Color != TColorModel::Gray || page.Bits != 1 ||
        page.SamplesPerPixel != 1 || page.Tiled ||
        TIFFNumberOfStrips(tiff) != 1 || TiffField<std::uint16_t>(tiff, TIFFTAG_FILLORDER, 1) != FILLORDER_MSB2LSB)
        return false;
    if (page.Compression == COMPRESSION_CCITTFAX3)
        return (TiffField<std::uint32_t>(tiff, TIFFTAG_GROUP3OPTIONS) & GROUP3OPT_UNCOMPRESSED) == 0;
    if (page.Compression == COMPRESSION_CCITTFAX4)
        return (TiffField<std::uint32_t>(tiff, TIFFTAG_GROUP4OPTIONS) & GROUP4OPT_UNCOMPRESSED) == 0;
    return true;
}

// The colour map as 8-bit entries. Its 16-bit values are cut to their high byte; a map whose
// values all fit in 8 bits was written by software that stored 8-bit values, taken as they are.
std::string PaletteOf(TIFF* tiff, int bits) {
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
        throw DecodeError("the palette picture has no colour map");
    const std::size_t entries = std::size_t{1} << bits;
    bool eightBit = true;
    for (std::size_t i = 0; i < entries && eightBit; ++i) eightBit = red[i] < 256 && green[i] < 256 && blue[i] < 256;
    const int shift = eightBit ? 0 : 8;
    std::string palette;
    palette.reserve(entries * 3);
    for (std::size_t i = 0; i < entries; ++i) {
        palette.push_back(static_cast<char>(red[i] >> shift));
        palette.push_back(static_cast<char>(green[i] >> shift));
        palette.push_back(static_cast<char>(blue[i] >> shift));
    }
    return palette;
}

// Finds the first extra sample that is alpha.
void FindAlpha(TIFF* tiff, TTiffPage& page) {
    std::uint16_t count = 0;
    std::uint16_t* types = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &types) || !types) return;
    const int extras = page.SamplesPerPixel - page.ColorSamples;
    for (int i = 0; i < std::min<int>(count, extras); ++i) {
        if (types[i] == EXTRASAMPLE_ASSOCALPHA || types[i] == EXTRASAMPLE_UNASSALPHA) {
            page.AlphaSample = page.ColorSamples + i;
            page.AssociatedAlpha = types[i] == EXTRASAMPLE_ASSOCALPHA;
            return;
        }
    }
}

// Chooses the colour model for samples taken as stored; false when there is none.
bool ChooseColorModel(TIFF* tiff, TTiffPage& page) {
    switch (page.Photometric) {
        case PHOTOMETRIC_MINISWHITE:
        case PHOTOMETRIC_MINISBLACK:
            page.Color = TColorModel::Gray;
            page.MinIsWhite = page.Photometric == PHOTOMETRIC_MINISWHITE;
            return true;
        case PHOTOMETRIC_RGB:
            page.Color = TColorModel::RGB;
            return true;
        case PHOTOMETRIC_PALETTE:
            if (page.Bits > 8) return false;
            page.Color = TColorModel::Indexed;
            page.Palette = PaletteOf(tiff, page.Bits);
            return true;
        case PHOTOMETRIC_SEPARATED:
            page.Color = TColorModel::CMYK;
            return TiffField<std::uint16_t>(tiff, TIFFTAG_INKSET, INKSET_CMYK) == INKSET_CMYK && page.Bits >= 8;
        case PHOTOMETRIC_YCBCR:
            // New-style JPEG data in YCbCr: libtiff's JPEG codec gives RGB.
            if (page.Compression != COMPRESSION_JPEG || page.Separate || page.Bits != 8) return false;
            if (!TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB)) return false;
            page.Color = TColorModel::RGB;
            return true;
        default:
            return false;
    }
}

TTiffRoute ChooseRoute(TIFF* tiff, TTiffPage& page) {
    const auto format = TiffField<std::uint16_t>(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    const bool plainIntegers = format == SAMPLEFORMAT_UINT || format == SAMPLEFORMAT_VOID;
    const bool wholeBytes = page.Bits == 8 || page.Bits == 16;
    if (!plainIntegers || (page.Bits != 1 && page.Bits != 2 && page.Bits != 4 && !wholeBytes) ||
        page.Compression == COMPRESSION_OJPEG || !ChooseColorModel(tiff, page))
        return TTiffRoute::Rgba;
    page.ColorSamples = ComponentsOf(page.Color);
    if (page.SamplesPerPixel < page.ColorSamples) return TTiffRoute::Rgba;
    // Extra samples and separate planes are picked apart sample by sample: whole bytes only.
    if ((page.SamplesPerPixel > page.ColorSamples || page.Separate) && !wholeBytes) return TTiffRoute::Rgba;
    // Tiles are copied by whole bytes: each tile's rows must end on a byte.
    if (page.Tiled && (std::int64_t{TiffField<std::uint32_t>(tiff, TIFFTAG_TILEWIDTH)} * page.SamplesPerPixel * page.Bits) % 8)
        return TTiffRoute::Rgba;
    FindAlpha(tiff, page);
    return FaxCanPassThrough(tiff, page) ? TTiffRoute::Fax : TTiffRoute::Samples;
}

}  // namespace

TTiffPage DescribeTiffPage(const TTiffHandle& handle) {
    TIFF* tiff = handle.Get();
    TTiffPage page;
    const auto width = TiffField<std::uint32_t>(tiff, TIFFTAG_IMAGEWIDTH);
    const auto height = TiffField<std::uint32_t>(tiff, TIFFTAG_IMAGELENGTH);
    CheckDecodedSize(width, height, 1);
    page.Width = static_cast<int>(width);
    page.Height = static_cast<int>(height);
    const auto orientation = TiffField<std::uint16_t>(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    page.Orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
    page.Compression = TiffField<std::uint16_t>(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    page.Photometric = TiffField<std::uint16_t>(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    page.Bits = TiffField<std::uint16_t>(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    page.SamplesPerPixel = TiffField<std::uint16_t>(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    page.Separate = page.SamplesPerPixel > 1 &&
                    TiffField<std::uint16_t>(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_SEPARATE;
    page.Tiled = TIFFIsTiled(tiff) != 0;
    page.Route = ChooseRoute(tiff, page);
    return page;
}

}  // namespace tovra
