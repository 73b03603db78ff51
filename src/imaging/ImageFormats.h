#pragma once
// The one table of picture kinds: for each, its name, the file extensions that select it, the
// open dialog's filter, the desktop MIME types, what becomes of its data in a PDF, and how a
// file of that kind is loaded. The kind of a file comes from its extension alone; the dialogs,
// the command line's help and the desktop entry read this table.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Graphic.h"

namespace tovra {

// The values of the first four are fixed (stored and compared elsewhere); the later kinds follow.
enum TImageKind : std::uint8_t {
    ikBMP = 0,
    ikGIF = 1,
    ikJPEG = 2,
    ikNone = 3,
    ikPNG = 4,
    ikTIFF = 5,
    ikWebP = 6,
    ikHEIF = 7,
};

using TImageLoader = std::unique_ptr<TGraphic> (*)(const std::string& path, int page);
using TPageCounter = int (*)(const std::string& path);

struct TImageFormat {
    TImageKind Kind;
    std::string_view Name;                     // "PNG"
    std::vector<std::string_view> Extensions;  // upper case with the dot: ".PNG"
    std::string_view FilterCaption;            // "PNG Image Files (*.png)"
    std::vector<std::string_view> MimeTypes;   // "image/png"
    std::string_view Handling;                 // one line for --help and the manual
    // Loads page `page` (0-based) of the file. Throws tovra::Exception naming the file.
    TImageLoader Load;
    // The number of pages (pictures) the file holds, at least 1; null for one-page kinds.
    // Reads as little as it can; a file it cannot read counts as one page (loading it then
    // reports why).
    TPageCounter CountPages;
};

// Every supported kind, in the order the open dialog lists them.
const std::vector<TImageFormat>& ImageFormats();
// The row of a kind, or nullptr for ikNone.
const TImageFormat* FormatOfKind(TImageKind kind);
// The kind an extension (".png", any case) selects; ikNone for anything else, "" included.
TImageKind ImageKindOf(std::string_view extension);
// The number of pages of a file of the kind (1 for one-page kinds).
int CountImagePages(TImageKind kind, const std::string& path);

// Gives a kind another loader and page counter for as long as it lives, then the table's own
// again: tests drive the engine with pictures of their own making.
class TImageFormatOverride {
public:
    TImageFormatOverride(TImageKind kind, TImageLoader load, TPageCounter countPages);
    ~TImageFormatOverride();
    TImageFormatOverride(const TImageFormatOverride&) = delete;
    TImageFormatOverride& operator=(const TImageFormatOverride&) = delete;

private:
    TImageFormat* format_;
    TImageLoader load_;
    TPageCounter countPages_;
};

}  // namespace tovra
