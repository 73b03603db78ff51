#include "TiffBands.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ImageErrors.h"

namespace tovra {

namespace {

// Rows decoded at a time where libtiff reads scanline by scanline.
constexpr int kScanlineBandRows = 32;
// Tiles up to this size are accepted whatever the size of the picture.
constexpr std::int64_t kSmallTileBytes = std::int64_t{16} * 1024 * 1024;

// Copies count samples of 8 or 16 bits; 16-bit samples come in the machine's byte order and
// leave big-endian.
void CopySamples(std::uint8_t* to, const std::uint8_t* from, int count, int bytesPerSample) {
    if (bytesPerSample == 1) {
        std::memcpy(to, from, static_cast<std::size_t>(count));
        return;
    }
    for (int i = 0; i < count; ++i) {
        std::uint16_t value = 0;
        std::memcpy(&value, from + 2 * i, 2);
        to[2 * i] = static_cast<std::uint8_t>(value >> 8);
        to[2 * i + 1] = static_cast<std::uint8_t>(value);
    }
}

}  // namespace

void CheckStripLayout(const TTiffHandle& handle, const TTiffPage& page) {
    TIFF* tiff = handle.Get();
    const std::uint32_t count = page.Tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
    const std::uint64_t fileSize = handle.Source().Size();
    const char* kind = page.Tiled ? "tile " : "strip ";
    if (count == 0) throw DecodeError("the page has no data");
    if (page.Tiled) {
        // A tile is decoded whole; one far larger than the picture is a lie, not a layout.
        const std::int64_t pictureBytes = std::int64_t{page.Width} * page.Height * std::max(1, page.SamplesPerPixel * page.Bits / 8);
        if (TIFFTileSize64(tiff) > static_cast<std::uint64_t>(std::max(pictureBytes, kSmallTileBytes)))
            throw DecodeError("its tiles (" + std::to_string(TiffField<std::uint32_t>(tiff, TIFFTAG_TILEWIDTH)) + " x " +
                              std::to_string(TiffField<std::uint32_t>(tiff, TIFFTAG_TILELENGTH)) +
                              ") are far larger than the picture");
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        int failed = 0;
        const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tiff, i, &failed);
        const std::uint64_t length = TIFFGetStrileByteCountWithErr(tiff, i, &failed);
        if (failed || length == 0 || offset > fileSize || length > fileSize - offset)
            throw DecodeError(kind + std::to_string(i + 1) + " of " + std::to_string(count) +
                              " lies outside the file");
    }
}

TTiffSampleReader::TTiffSampleReader(const TTiffHandle& handle, const TTiffPage& page)
    : handle_(handle), page_(page), tiff_(handle.Get()) {
    CheckStripLayout(handle, page);
    tmsize_t scratch = 0;
    if (page.Tiled) {
        tileWidth_ = static_cast<int>(TiffField<std::uint32_t>(tiff_, TIFFTAG_TILEWIDTH));
        const auto tileLength = TiffField<std::uint32_t>(tiff_, TIFFTAG_TILELENGTH);
        // Tiles may reach below the picture; a band holds only the picture's rows.
        bandRows_ = static_cast<int>(std::min<std::uint32_t>(tileLength, static_cast<std::uint32_t>(page.Height)));
        scratch = TIFFTileSize(tiff_);
        if (tileWidth_ <= 0 || bandRows_ <= 0) throw DecodeError("its tiles have no size");
    } else if (page.Separate) {
        bandRows_ = static_cast<int>(std::min<std::uint32_t>(
            TiffField<std::uint32_t>(tiff_, TIFFTAG_ROWSPERSTRIP, UINT32_MAX), static_cast<std::uint32_t>(page.Height)));
        scratch = TIFFStripSize(tiff_);
    } else {
        bandRows_ = std::min(kScanlineBandRows, page.Height);
        scratch = TIFFScanlineSize(tiff_);
        // The samples of one row, as libtiff gives them, must all be there.
        if (scratch < (std::int64_t{page.Width} * page.SamplesPerPixel * page.Bits + 7) / 8)
            handle.Fail("its rows have an unexpected size");
    }
    if (scratch <= 0 || bandRows_ <= 0) handle.Fail("its strips or tiles have no size");
    scratch_.resize(static_cast<std::size_t>(scratch));
}

std::int64_t TTiffSampleReader::AlphaRowBytes() const {
    return page_.AlphaSample < 0 ? 0 : std::int64_t{page_.Width} * page_.Bits / 8;
}

void TTiffSampleReader::ReadBand(int top, std::uint8_t* colour, std::uint8_t* alpha) {
    const int rows = std::min(bandRows_, page_.Height - top);
    if (page_.Tiled)
        ReadTiles(top, rows, colour, alpha);
    else if (page_.Separate)
        ReadStrips(top, rows, colour, alpha);
    else
        ReadScanlines(top, rows, colour, alpha);
    if (page_.AssociatedAlpha && page_.Color != TColorModel::Indexed) Unpremultiply(rows, colour, alpha);
}

void TTiffSampleReader::ReadScanlines(int top, int rows, std::uint8_t* colour, std::uint8_t* alpha) {
    for (int r = 0; r < rows; ++r) {
        if (TIFFReadScanline(tiff_, scratch_.data(), static_cast<std::uint32_t>(top + r), 0) < 0)
            handle_.Fail("its data is damaged at row " + std::to_string(top + r + 1));
        Put(scratch_.data(), 0, page_.Width, -1, colour + page_.RowBytes() * r,
            alpha ? alpha + AlphaRowBytes() * r : nullptr);
    }
}

void TTiffSampleReader::ReadStrips(int top, int rows, std::uint8_t* colour, std::uint8_t* alpha) {
    const std::uint32_t stripsPerPlane = TIFFNumberOfStrips(tiff_) / static_cast<std::uint32_t>(page_.SamplesPerPixel);
    const std::uint32_t strip = static_cast<std::uint32_t>(top / bandRows_);
    const std::int64_t planeRowBytes = std::int64_t{page_.Width} * page_.Bits / 8;
    for (int plane = 0; plane < page_.SamplesPerPixel; ++plane) {
        const tmsize_t got = TIFFReadEncodedStrip(tiff_, strip + static_cast<std::uint32_t>(plane) * stripsPerPlane,
                                                  scratch_.data(), static_cast<tmsize_t>(scratch_.size()));
        if (got < planeRowBytes * rows)
            handle_.Fail("its data is damaged in the strip of rows " + std::to_string(top + 1) + " to " +
                         std::to_string(top + rows));
        for (int r = 0; r < rows; ++r)
            Put(scratch_.data() + planeRowBytes * r, 0, page_.Width, plane, colour + page_.RowBytes() * r,
                alpha ? alpha + AlphaRowBytes() * r : nullptr);
    }
}

void TTiffSampleReader::ReadTiles(int top, int rows, std::uint8_t* colour, std::uint8_t* alpha) {
    const int planes = page_.Separate ? page_.SamplesPerPixel : 1;
    const std::int64_t tileRowBytes = TIFFTileRowSize(tiff_);
    for (int x = 0; x < page_.Width; x += tileWidth_) {
        const int count = std::min(tileWidth_, page_.Width - x);
        for (int plane = 0; plane < planes; ++plane) {
            const std::uint32_t tile = TIFFComputeTile(tiff_, static_cast<std::uint32_t>(x),
                                                       static_cast<std::uint32_t>(top), 0,
                                                       static_cast<std::uint16_t>(plane));
            const tmsize_t got = TIFFReadEncodedTile(tiff_, tile, scratch_.data(), static_cast<tmsize_t>(scratch_.size()));
            if (got < tileRowBytes * rows)
                handle_.Fail("its data is damaged in the tile at column " + std::to_string(x + 1) + ", row " +
                             std::to_string(top + 1));
            for (int r = 0; r < rows; ++r)
                Put(scratch_.data() + tileRowBytes * r, x, count, page_.Separate ? plane : -1,
                    colour + page_.RowBytes() * r, alpha ? alpha + AlphaRowBytes() * r : nullptr);
        }
    }
}

void TTiffSampleReader::Put(const std::uint8_t* source, int x0, int count, int plane, std::uint8_t* colourRow,
                            std::uint8_t* alphaRow) const {
    const int colours = page_.ColorSamples;
    if (plane < 0 && page_.SamplesPerPixel == colours) {
        // The row as it is (x0 starts on a byte; see the tile width check of the page).
        const std::int64_t first = std::int64_t{x0} * colours * page_.Bits / 8;
        if (page_.Bits < 16) {
            std::memcpy(colourRow + first, source, static_cast<std::size_t>((std::int64_t{count} * colours * page_.Bits + 7) / 8));
        } else {
            CopySamples(colourRow + first, source, count * colours, 2);
        }
        return;
    }
    const int size = page_.Bits / 8;
    if (plane < 0) {
        const int stride = page_.SamplesPerPixel * size;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* pixel = source + std::int64_t{i} * stride;
            CopySamples(colourRow + (std::int64_t{x0} + i) * colours * size, pixel, colours, size);
            if (alphaRow) CopySamples(alphaRow + (std::int64_t{x0} + i) * size, pixel + page_.AlphaSample * size, 1, size);
        }
    } else if (plane < colours) {
        for (int i = 0; i < count; ++i)
            CopySamples(colourRow + ((std::int64_t{x0} + i) * colours + plane) * size, source + std::int64_t{i} * size, 1, size);
    } else if (plane == page_.AlphaSample && alphaRow) {
        CopySamples(alphaRow + std::int64_t{x0} * size, source, count, size);
    }
}

void TTiffSampleReader::Unpremultiply(int rows, std::uint8_t* colour, const std::uint8_t* alpha) const {
    const bool wide = page_.Bits == 16;
    const std::uint64_t maximum = wide ? 65535 : 255;
    const std::int64_t samples = std::int64_t{page_.Width} * rows;
    const auto get = [wide](const std::uint8_t* at) -> std::uint64_t { return wide ? (at[0] << 8) | at[1] : at[0]; };
    for (std::int64_t i = 0; i < samples; ++i) {
        const std::uint64_t a = get(alpha + i * (wide ? 2 : 1));
        for (int c = 0; c < page_.ColorSamples; ++c) {
            std::uint8_t* at = colour + (i * page_.ColorSamples + c) * (wide ? 2 : 1);
            const std::uint64_t value = a == 0 ? 0 : std::min(maximum, (get(at) * maximum + a / 2) / a);
            if (wide) {
                at[0] = static_cast<std::uint8_t>(value >> 8);
                at[1] = static_cast<std::uint8_t>(value);
            } else {
                at[0] = static_cast<std::uint8_t>(value);
            }
        }
    }
}

}  // namespace tovra
