#pragma once
// Samples of a TIFF page as they are stored, decoded band by band (a strip or a row of tiles,
// or a few scanlines) into rows the way an image record holds them: colour samples interleaved,
// each row starting on a byte, 16-bit samples big-endian; the alpha samples apart, with
// premultiplied colours divided back by their alpha.
#include <cstdint>
#include <vector>

#include "TiffHandle.h"
#include "TiffPage.h"

namespace tovra {

// Throws DecodeError when one of the page's strips or tiles is empty or lies outside the file, or
// when a tile would take far more memory than the picture: checked before anything the size of
// the picture is allocated.
void CheckStripLayout(const TTiffHandle& handle, const TTiffPage& page);

class TTiffSampleReader {
public:
    // For pages of the Fax and Samples routes; checks the strips (CheckStripLayout).
    TTiffSampleReader(const TTiffHandle& handle, const TTiffPage& page);

    // Rows per band; the last band may be shorter.
    int BandRows() const { return bandRows_; }
    // Bytes per alpha row (0 without alpha).
    std::int64_t AlphaRowBytes() const;
    // Decodes the band of rows starting at top (a multiple of BandRows(), bands in order from
    // the top) into colour (page.RowBytes() per row) and alpha (AlphaRowBytes() per row).
    // Throws DecodeError naming the row or tile when the data is damaged.
    void ReadBand(int top, std::uint8_t* colour, std::uint8_t* alpha);

private:
    void ReadScanlines(int top, int rows, std::uint8_t* colour, std::uint8_t* alpha);
    void ReadStrips(int top, int rows, std::uint8_t* colour, std::uint8_t* alpha);
    void ReadTiles(int top, int rows, std::uint8_t* colour, std::uint8_t* alpha);
    // Stores `count` pixels from x0 of one row: all samples (plane < 0) or one plane's.
    void Put(const std::uint8_t* source, int x0, int count, int plane, std::uint8_t* colourRow,
             std::uint8_t* alphaRow) const;
    void Unpremultiply(int rows, std::uint8_t* colour, const std::uint8_t* alpha) const;

    const TTiffHandle& handle_;
    const TTiffPage& page_;
    TIFF* tiff_;
    int bandRows_ = 1;
    int tileWidth_ = 0;
    std::vector<std::uint8_t> scratch_;
};

}  // namespace tovra
