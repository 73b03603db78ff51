#pragma once
// libtiff's RGBA conversion of a TIFF page, band by band: what has no direct PDF form (LogLuv,
// CIE L*a*b*, YCbCr outside new-style JPEG, old-style JPEG, 16-bit palettes ...) as 8-bit
// red, green, blue and alpha. The picture is read as stored: the orientation tag is not applied.
#include <cstdint>

#include "TiffHandle.h"
#include "TiffPage.h"

namespace tovra {

class TTiffRgbaReader {
public:
    // Throws DecodeError with libtiff's reason when it cannot convert the page.
    TTiffRgbaReader(const TTiffHandle& handle, const TTiffPage& page);
    ~TTiffRgbaReader();
    TTiffRgbaReader(const TTiffRgbaReader&) = delete;
    TTiffRgbaReader& operator=(const TTiffRgbaReader&) = delete;

    int BandRows() const { return bandRows_; }
    // Whether the page has an alpha channel.
    bool HasAlpha() const;
    // Decodes the rows from top (a multiple of BandRows()) into pixels, Width per row, packed as
    // libtiff packs them (TIFFGetR ...), colours premultiplied by alpha.
    void ReadBand(int top, std::uint32_t* pixels);

private:
    const TTiffHandle& handle_;
    const TTiffPage& page_;
    TIFFRGBAImage image_{};
    bool begun_ = false;
    int bandRows_ = 1;
};

}  // namespace tovra
