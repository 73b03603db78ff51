#include "TiffRgba.h"

#include <algorithm>
#include <string>

#include "ImageErrors.h"
#include "TiffBands.h"

namespace tovra {

TTiffRgbaReader::TTiffRgbaReader(const TTiffHandle& handle, const TTiffPage& page) : handle_(handle), page_(page) {
    TIFF* tiff = handle.Get();
    char reason[1024] = {};
    if (!TIFFRGBAImageOK(tiff, reason)) throw DecodeError(std::string("this kind of TIFF picture is not supported (") + reason + ")");
    CheckStripLayout(handle, page);
    if (!TIFFRGBAImageBegin(&image_, tiff, 1, reason))
        throw DecodeError(std::string("this kind of TIFF picture is not supported (") + reason + ")");
    begun_ = true;
    // As stored: no flipping for the orientation tag.
    image_.req_orientation = image_.orientation;
    const std::uint32_t rows = page.Tiled ? TiffField<std::uint32_t>(tiff, TIFFTAG_TILELENGTH)
                                          : TiffField<std::uint32_t>(tiff, TIFFTAG_ROWSPERSTRIP, UINT32_MAX);
    // A band is a whole strip or row of tiles, so that none is decoded twice.
    bandRows_ = static_cast<int>(std::clamp<std::uint32_t>(rows, 1, static_cast<std::uint32_t>(page.Height)));
    CheckDecodedSize(page.Width, bandRows_, 4);
}

TTiffRgbaReader::~TTiffRgbaReader() {
    if (begun_) TIFFRGBAImageEnd(&image_);
}

bool TTiffRgbaReader::HasAlpha() const { return image_.alpha != 0; }

void TTiffRgbaReader::ReadBand(int top, std::uint32_t* pixels) {
    const int rows = std::min(bandRows_, page_.Height - top);
    image_.row_offset = top;
    image_.col_offset = 0;
    if (!TIFFRGBAImageGet(&image_, pixels, static_cast<std::uint32_t>(page_.Width), static_cast<std::uint32_t>(rows)))
        handle_.Fail("its data is damaged in rows " + std::to_string(top + 1) + " to " + std::to_string(top + rows));
}

}  // namespace tovra
