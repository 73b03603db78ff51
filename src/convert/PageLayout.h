#pragma once
// Turns an image entry into a laid-out report page: its picture loaded into its item, the
// page sized from its paper and orientation, the margins applied and the item placed for the
// sizing mode. The preview and the creation run use the same two operations, so a PDF page
// shows its picture exactly where the preview showed it.
#include <cstdint>
#include <string>

#include "convert/PDFImage.h"

namespace tovra {

// The largest page side, either way, that a layout makes: far beyond any real page (a picture
// of the largest decodable size with margins of 100000 points fits), yet small enough that the
// page, the preview and the PDF can add offsets and margins to it in 32 bits.
inline constexpr std::int64_t kMaxPageSide = std::int64_t{1} << 30;

// Loads the entry's file into the item for its kind, shows the item, then lays the page out.
// A missing file fails with: Image file not found: "<path>" — nothing is loaded then. Files the
// decoders cannot read fail with the decoders' messages; the item keeps the picture it had.
void LoadPicture(TPDFImage& entry);

// Sizes the entry's page, applies its margins (the page ignores those it refuses), then
// resets the item and places it for the sizing mode. Does nothing without an entry or page.
// When the margins leave no content area the item gets no size (see HasContentArea). A Full
// Size page whose side, picture and margins added up, would pass kMaxPageSide either way fails
// with PageOutOfRangeMessage; the page keeps the size its paper gives.
void LayoutPage(TPDFImage* entry);

// True when the page's content area (inside the margins and the frame) has a positive width
// and height.
bool HasContentArea(const TPRPage& page);

// The message of a missing image file.
std::string ImageFileNotFoundMessage(const std::string& path);
// The message of a Full Size page too large either way (margins of absurd size).
std::string PageOutOfRangeMessage(const std::string& path, std::int64_t width, std::int64_t height);

}  // namespace tovra
