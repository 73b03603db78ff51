#pragma once
// The paper forms of a CUPS destination, in the order the printer lists its media.
//
// CUPS lists a printer's media by PWG name ("iso_a4_210x297mm") with sizes in hundredths of a
// millimetre. The common forms get the same short names as the built-in list ("A4", "Letter"),
// whatever the printer's driver or the user's language calls them, so a paper chosen by name
// keeps working across printers and machines. Other media are named as the system's print
// dialogs name them (CUPS's localized name), else by their traditional short name, else by
// their PWG name. Sizes are the nominal size of the named form when the printer's figure is
// within a millimetre of it (drivers that measure in points report A4 as 209.9 x 297.04 mm),
// else the printer's own figure, rounded to tenths of a millimetre.
#include "PaperForms.h"

#include <optional>
#include <string>
#include <vector>

namespace tovra {

// One media entry as CUPS reports it.
struct TCupsMedia {
    std::string PwgName;
    std::string LocalizedName;  // empty when CUPS has none
    int Width = 0;              // hundredths of a millimetre
    int Length = 0;             // hundredths of a millimetre
};

// The forms for a printer's media list, in its order. Entries without a size are left out,
// and so is an entry whose name an earlier entry already has (borderless and bordered variants
// of one size share a name).
TPaperForms FormsFromCupsMedia(const std::vector<TCupsMedia>& media);

// The forms of the default destination (printerIndex -1) or of the n-th destination CUPS lists.
// std::nullopt when there is no default destination (or CUPS is not reachable); an empty list
// when the printer reports no media. Throws Exception("Printer index out of range") for an
// index that names no destination.
std::optional<TPaperForms> ReadCupsPaperForms(int printerIndex);

}  // namespace tovra
