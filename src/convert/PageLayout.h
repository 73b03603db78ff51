#pragma once
// Turns an image entry into a laid-out report page: its picture loaded into its item, the
// page sized from its paper and orientation, the margins applied and the item placed for the
// sizing mode. The preview and the creation run use the same two operations, so a PDF page
// shows its picture exactly where the preview showed it.
#include <string>

#include "convert/PDFImage.h"

namespace tovra {

// Loads the entry's file into the item for its kind, shows the item, then lays the page out.
// A missing file fails with: Image file not found: "<path>" — nothing is loaded then. Files the
// decoders cannot read fail with the decoders' messages; the item keeps the picture it had.
void LoadPicture(TPDFImage& entry);

// Sizes the entry's page, applies its margins (the page ignores those it refuses), then
// resets the item and places it for the sizing mode. Does nothing without an entry or page.
// When the margins leave no content area the item gets no size (see HasContentArea).
void LayoutPage(TPDFImage* entry);

// True when the page's content area (inside the margins and the frame) has a positive width
// and height.
bool HasContentArea(const TPRPage& page);

// The message of a missing image file.
std::string ImageFileNotFoundMessage(const std::string& path);

}  // namespace tovra
