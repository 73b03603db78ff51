#include "convert/ImagePages.h"

#include "convert/ImageKinds.h"

namespace tovra {

std::string EntryLabel(const TPDFImage& entry, bool fullPath) {
    std::string label = fullPath ? entry.FileName : FileNamePart(entry.FileName);
    if (IsFilePage(entry))
        label += " (" + std::to_string(entry.PageIndex + 1) + "/" + std::to_string(entry.PageCount) + ")";
    return label;
}

std::string PageSuffix(const TPDFImage& entry) {
    if (!IsFilePage(entry)) return {};
    return " (page " + std::to_string(entry.PageIndex + 1) + " of " + std::to_string(entry.PageCount) + ")";
}

std::vector<TPDFImage> EntriesPerPage(const TPDFImage& entry) {
    const int pages = CountImagePages(entry.ImageKind, entry.FileName);
    if (pages <= 1) return {entry};
    std::vector<TPDFImage> entries(static_cast<std::size_t>(pages), entry);
    for (int page = 0; page < pages; ++page) {
        TPDFImage& copy = entries[static_cast<std::size_t>(page)];
        copy.PageIndex = page;
        copy.PageCount = pages;
    }
    return entries;
}

}  // namespace tovra
