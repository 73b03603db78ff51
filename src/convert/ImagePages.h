#pragma once
// Files that hold several pictures (a multi-page TIFF) become one entry per page, in order;
// each page is named after its file with its place: "scan.tif (2/7)".
#include <string>
#include <vector>

#include "convert/PDFImage.h"

namespace tovra {

// True when the entry stands for one page of a file of several.
inline bool IsFilePage(const TPDFImage& entry) { return entry.PageCount > 1; }

// The entry's file name, or its file-name part when fullPath is false, followed for a page of a
// multi-page file by " (n/count)" with n counted from 1.
std::string EntryLabel(const TPDFImage& entry, bool fullPath);

// " (page n of count)" for a page of a multi-page file, "" otherwise: what messages about the
// entry add after its quoted file name.
std::string PageSuffix(const TPDFImage& entry);

// One copy of `entry` per page of its file (CountImagePages of its kind), each with its
// PageIndex and PageCount; a one-page file gives the entry as it is.
std::vector<TPDFImage> EntriesPerPage(const TPDFImage& entry);

}  // namespace tovra
