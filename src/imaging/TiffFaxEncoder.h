#pragma once
// libtiff's own CCITT coding of a bilevel page, made in memory: the strip libtiff would write for
// the same rows, coded the way a given page is coded.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <tiffio.h>

#include "TiffPage.h"

namespace tovra {

class TFaxStripCoder {
public:
    // Codes rows of `page` with its compression, Group 3 options and vertical resolution (which
    // sets how many 2-D rows libtiff lets follow a 1-D row), in one strip in fill order MSB
    // first; the coding may take at most maxBytes.
    TFaxStripCoder(TIFF* original, const TTiffPage& page, std::uint64_t maxBytes);
    ~TFaxStripCoder();
    TFaxStripCoder(const TFaxStripCoder&) = delete;
    TFaxStripCoder& operator=(const TFaxStripCoder&) = delete;

    // Codes the next `count` rows (page.RowBytes() each, 1 bit per pixel); false once coding has
    // failed (libtiff refused, or the coding outgrew maxBytes).
    bool AddRows(const std::uint8_t* rows, int count);
    // The strip, after every row of the page was added; nullopt when coding failed.
    std::optional<std::string> Finish();

    struct TState;

private:
    std::unique_ptr<TState> state_;
};

}  // namespace tovra
