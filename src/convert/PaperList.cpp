#include "PaperList.h"

#include "common/Exceptions.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tovra {

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Paper names are UTF-8; names beyond ASCII ("Enveloppe DL", "Umschlag C5") are compared with
// Unicode case folding.
bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
    }
    const QString left = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString right = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    return left.compare(right, Qt::CaseInsensitive) == 0;
}

std::int32_t RoundedQuotient(std::int32_t value, long double divisor) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even by default.
    return static_cast<std::int32_t>(std::nearbyint(static_cast<long double>(value) / divisor));
}

}  // namespace

const TPaperList::Item& TPaperList::At(int index) const {
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

const std::string& TPaperList::Text(int index) const { return At(index).Text; }

const TPointObj& TPaperList::Object(int index) const { return *At(index).Object; }

int TPaperList::Add(std::string text, const TPointObj& size) {
    items_.push_back({std::move(text), std::make_unique<TPointObj>(size)});
    return Count() - 1;
}

void TPaperList::Clear() {
    items_.clear();
    itemIndex_ = -1;
}

void TPaperList::SetItemIndex(int index) { itemIndex_ = index >= 0 && index < Count() ? index : -1; }

const TPointObj* TPaperList::SelectedObject() const {
    return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)].Object.get() : nullptr;
}

int TPaperList::IndexOf(std::string_view name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameTextIgnoringCase(items_[static_cast<std::size_t>(i)].Text, name)) return i;
    return -1;
}

std::int32_t PaperWidthToPoints(std::int32_t tenthsOfMillimetre) {
    return RoundedQuotient(tenthsOfMillimetre, 3.5294117647L);
}

std::int32_t PaperHeightToPoints(std::int32_t tenthsOfMillimetre) {
    return RoundedQuotient(tenthsOfMillimetre, 3.5273159145L);
}

void FillPaperList(TPaperList& list, const TPaperSource& source) {
    list.Clear();
    TPaperInfos infos;
    GetPaperInfos(infos, -1, source);
    for (const TPaperInfo& info : infos)
        list.Add(info.Name, {PaperWidthToPoints(info.Width), PaperHeightToPoints(info.Height)});
    list.SetItemIndex(0);
}

void FillPaperList(TPaperList& list) { FillPaperList(list, DefaultPaperSource()); }

std::string DefaultPaperName(const TPaperList& list, const std::optional<TSystemPaper>& system) {
    if (!system) return kLetterPaperName;
    if (const int index = list.IndexOf(system->Name); index >= 0) return list.Text(index);
    // Names differ between libpaper and printers ("11x17" is "Tabloid"); sizes do not. The
    // list's points are rounded from tenths of a millimetre, libpaper's are exact.
    constexpr double kSlack = 2.0;
    for (int i = 0; i < list.Count(); ++i) {
        const TPointObj& size = list.Object(i);
        if (system->Width > 0 && std::fabs(size.X - system->Width) <= kSlack &&
            std::fabs(size.Y - system->Height) <= kSlack)
            return list.Text(i);
    }
    return kLetterPaperName;
}

std::string DefaultPaperName(const TPaperList& list) { return DefaultPaperName(list, SystemPaper()); }

}  // namespace tovra
