#pragma once
// The paper box without its widget: items whose text is a paper name and whose object is the
// paper's size in points, a selected item, and the filling from the default printer's papers.
// The window shows such a list in a drop-down box; the conversion core reads sizes from it.
#include "components/Other/PrintUtils.h"
#include "components/Other/SystemPaper.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovra {

// A paper size in points, X = width, Y = height (portrait).
struct TPointObj {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPointObj&, const TPointObj&) = default;
};

class TPaperList {
public:
    int Count() const { return static_cast<int>(items_.size()); }

    // Throws EListError for an index outside the list.
    const std::string& Text(int index) const;
    // The item's size, owned by the list; stays at one address until the item is removed.
    const TPointObj& Object(int index) const;

    // Appends an item and returns its index.
    int Add(std::string text, const TPointObj& size);
    // Removes every item; nothing is selected afterwards.
    void Clear();

    // The selected item, -1 for none. Selecting an index outside the list selects nothing.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // The selected item's size, or nullptr when nothing is selected.
    const TPointObj* SelectedObject() const;

    // Index of the item whose whole text equals `name` without regard to case, or -1.
    int IndexOf(std::string_view name) const;

private:
    struct Item {
        std::string Text;
        std::unique_ptr<TPointObj> Object;
    };
    const Item& At(int index) const;

    std::vector<Item> items_;
    int itemIndex_ = -1;
};

// Tenths of a millimetre to points. Widths and heights use their own divisors
// (3.5294117647 and 3.5273159145); the quotient, taken in extended precision, is rounded to the
// nearest integer with halves going to the even one.
std::int32_t PaperWidthToPoints(std::int32_t tenthsOfMillimetre);
std::int32_t PaperHeightToPoints(std::int32_t tenthsOfMillimetre);

// Refills `list` with the default printer's papers in the printer's order and selects the first
// (nothing when there are none). On a failure of the printer query the list stays empty.
void FillPaperList(TPaperList& list);
void FillPaperList(TPaperList& list, const TPaperSource& source);

// The paper page settings fall back to when the system names none the list has.
inline constexpr const char* kLetterPaperName = "Letter";

// The paper new page settings take when none is stored or asked for: the item named like the
// system's paper without regard to case ("a4" finds "A4"), else the first item of its size
// (within 2 points each way), else "Letter".
std::string DefaultPaperName(const TPaperList& list, const std::optional<TSystemPaper>& system);
// The same for the paper the system is set to now (SystemPaper()).
std::string DefaultPaperName(const TPaperList& list);

}  // namespace tovra
