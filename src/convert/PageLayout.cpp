#include "convert/PageLayout.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cerrno>
#include <cstdint>
#include <limits>

#include "common/Exceptions.h"
#include "convert/ImagePages.h"
#include "imaging/ImageFormats.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPage.h"

namespace tovra {

namespace {

// Only a file that is not there is "not found"; a folder, a name too long or a folder that may
// not be searched reach the reader, whose message gives the reason.
bool FileMissing(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

// The item that shows the entry's picture, or nullptr for an entry without one.
TPRImage* ItemOf(const TPDFImage& entry) {
    if (entry.ImageKind == ikJPEG) return entry.JpegItem;
    return FormatOfKind(entry.ImageKind) ? entry.BitmapItem : nullptr;
}

// The picture of the entry's file (of its page, for a multi-page file). A failure of one page
// of several says which page.
std::unique_ptr<TGraphic> LoadGraphic(const TPDFImage& entry, const TImageFormat& format) {
    if (!IsFilePage(entry)) return format.Load(entry.FileName, 0);
    try {
        return format.Load(entry.FileName, entry.PageIndex);
    } catch (const Exception& failure) {
        throw Exception(failure.what() + PageSuffix(entry));
    }
}

std::int32_t Saturated(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

// Scales a picture that does not fit the content area aw x ah down, keeping its proportions up
// to the truncation. The side whose ratio is larger limits; a tie goes to the height.
void FitInto(TPRImage& item, std::int64_t pw, std::int64_t ph, std::int64_t aw, std::int64_t ah) {
    if (pw <= aw && ph <= ah) {
        item.SetBounds(0, 0, Saturated(pw), Saturated(ph));
        return;
    }
    // ph / ah >= pw / aw, compared exactly.
    if (ph * aw >= pw * ah) {
        item.SetBounds(0, 0, Saturated(pw * ah / ph), Saturated(ah));
    } else {
        item.SetBounds(0, 0, Saturated(aw), Saturated(ph * aw / pw));
    }
    item.SetStretch(true);
}

}  // namespace

std::string ImageFileNotFoundMessage(const std::string& path) { return "Image file not found: \"" + path + "\""; }

std::string PageOutOfRangeMessage(const std::string& path, std::int64_t width, std::int64_t height) {
    return "No page for the picture of \"" + path + "\": with its margins it would be " + std::to_string(width) +
           " x " + std::to_string(height) + " points";
}

bool HasContentArea(const TPRPage& page) {
    const TRect content = page.ContentRect();
    return content.Width() > 0 && content.Height() > 0;
}

void LoadPicture(TPDFImage& entry) {
    if (FileMissing(entry.FileName)) throw Exception(ImageFileNotFoundMessage(entry.FileName));
    TPRImage* item = ItemOf(entry);
    if (item) {
        // Decoded into a graphic of its own first, so that a failure leaves the item as it was.
        item->Picture().SetGraphic(LoadGraphic(entry, *FormatOfKind(entry.ImageKind)));
        item->SetVisible(true);
    }
    LayoutPage(&entry);
}

void LayoutPage(TPDFImage* entry) {
    if (!entry || !entry->Page) return;
    TPRPage& page = *entry->Page;
    page.SetBounds(page.Left(), page.Top(), entry->PageWidth, entry->PageHeight);
    page.SetMarginTop(entry->MarginTop);
    page.SetMarginBottom(entry->MarginBottom);
    page.SetMarginLeft(entry->MarginLeft);
    page.SetMarginRight(entry->MarginRight);

    TPRImage* item = ItemOf(*entry);
    if (!item) return;

    const TRect content = page.ContentRect();
    const std::int64_t aw = content.Width();
    const std::int64_t ah = content.Height();
    const bool hasArea = aw > 0 && ah > 0;
    item->SetStretch(false);
    item->SetBounds(0, 0, hasArea ? Saturated(aw) : 0, hasArea ? Saturated(ah) : 0);
    item->SharedImage = false;

    // The size as shown: a photo shown upright from a turned JPEG has its sides swapped.
    const std::int64_t pw = item->NaturalWidth();
    const std::int64_t ph = item->NaturalHeight();
    switch (entry->SizeMethod) {
        case smStretch:
            item->SetStretch(true);
            break;
        case smFit:
            if (hasArea) FitInto(*item, pw, ph, aw, ah);
            break;
        case smFullSize: {
            // The entry's own margins, whatever the page made of them: they may be anything.
            const std::int64_t width = pw + 2 + std::int64_t{entry->MarginLeft} + entry->MarginRight;
            const std::int64_t height = ph + 2 + std::int64_t{entry->MarginTop} + entry->MarginBottom;
            if (std::max(std::abs(width), std::abs(height)) > kMaxPageSide)
                throw Exception(PageOutOfRangeMessage(entry->FileName, width, height));
            item->SetBounds(0, 0, Saturated(pw), Saturated(ph));
            page.SetBounds(page.Left(), page.Top(), static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
            break;
        }
        default:
            break;  // natural size from the content area's corner, cut off at its edges
    }
    item->Invalidate();
}

}  // namespace tovra
