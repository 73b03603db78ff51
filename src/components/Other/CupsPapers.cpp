#include "CupsPapers.h"

#include "StandardPapers.h"
#include "common/Exceptions.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>

#if TOVRA_HAVE_CUPS
#include <cups/cups.h>
#include <cups/pwg.h>
#endif

namespace tovra {

namespace {

// PWG names of the standard forms, with the paper code of the built-in form they stand for.
struct TStandardPwgName {
    std::string_view Pwg;
    std::int16_t PaperID;
};
constexpr TStandardPwgName StandardPwgNames[] = {
    {"na_letter_8.5x11in", 1},       {"na_legal_8.5x14in", 5},    {"na_ledger_11x17in", 3},
    {"na_executive_7.25x10.5in", 7}, {"na_invoice_5.5x8.5in", 6}, {"iso_a3_297x420mm", 8},
    {"iso_a4_210x297mm", 9},         {"iso_a5_148x210mm", 11},    {"jis_b4_257x364mm", 12},
    {"jis_b5_182x257mm", 13},
};

// Codes for media outside the standard forms start where printer drivers start theirs.
constexpr int FirstCustomPaperID = 256;

// How far (hundredths of a millimetre) a reported size may lie from the named form's nominal
// size and still be taken as that form.
constexpr int NominalSizeTolerance = 100;

const TPaperForm* StandardFormFor(std::string_view pwgName) {
    for (const TStandardPwgName& entry : StandardPwgNames) {
        if (entry.Pwg != pwgName) continue;
        for (const TPaperForm& form : StandardPaperForms())
            if (form.PaperID == entry.PaperID) return &form;
    }
    return nullptr;
}

std::int32_t HundredthsToTenths(int hundredths) { return (hundredths + 5) / 10; }

bool SameNameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

struct TNominal {
    std::string TraditionalName;  // "A6", "Env10" ...; empty when CUPS knows none
    int Width = 0;                // hundredths of a millimetre; 0 when unknown
    int Length = 0;
};

TNominal NominalFor(const std::string& pwgName) {
    TNominal nominal;
#if TOVRA_HAVE_CUPS
    if (const pwg_media_t* pwg = pwgMediaForPWG(pwgName.c_str())) {
        if (pwg->ppd) nominal.TraditionalName = pwg->ppd;
        nominal.Width = pwg->width;
        nominal.Length = pwg->length;
    }
#else
    (void)pwgName;
#endif
    return nominal;
}

// Without its message catalogs CUPS "localizes" a media name by describing its size
// ("105 x 148 mm"); a traditional short name ("A6") reads better than that.
std::string DisplayName(const TCupsMedia& entry, const TNominal& nominal) {
    const std::string& localized = entry.LocalizedName;
    const bool describesSize = !localized.empty() && localized.front() >= '0' && localized.front() <= '9';
    if (!localized.empty() && !(describesSize && !nominal.TraditionalName.empty())) return localized;
    if (!nominal.TraditionalName.empty()) return nominal.TraditionalName;
    return entry.PwgName;
}

}  // namespace

TPaperForms FormsFromCupsMedia(const std::vector<TCupsMedia>& media) {
    TPaperForms forms;
    int nextCustomID = FirstCustomPaperID;
    for (const TCupsMedia& entry : media) {
        if (entry.Width <= 0 || entry.Length <= 0) continue;
        const TNominal nominal = NominalFor(entry.PwgName);

        TPaperForm form;
        if (const TPaperForm* standard = StandardFormFor(entry.PwgName)) {
            form.Name = standard->Name;
            form.PaperID = standard->PaperID;
        } else {
            form.Name = DisplayName(entry, nominal);
            if (nextCustomID > std::numeric_limits<std::int16_t>::max()) continue;
            form.PaperID = static_cast<std::int16_t>(nextCustomID);
        }
        if (form.Name.empty()) continue;
        const bool duplicate = std::any_of(forms.begin(), forms.end(), [&](const TPaperForm& earlier) {
            return SameNameIgnoringAsciiCase(earlier.Name, form.Name);
        });
        if (duplicate) continue;

        const bool nearNominal = nominal.Width > 0 && nominal.Length > 0 &&
                                 std::abs(entry.Width - nominal.Width) <= NominalSizeTolerance &&
                                 std::abs(entry.Length - nominal.Length) <= NominalSizeTolerance;
        form.Width = HundredthsToTenths(nearNominal ? nominal.Width : entry.Width);
        form.Height = HundredthsToTenths(nearNominal ? nominal.Length : entry.Length);
        if (form.PaperID >= FirstCustomPaperID) ++nextCustomID;
        forms.push_back(std::move(form));
    }
    return forms;
}

#if TOVRA_HAVE_CUPS

namespace {

struct TDestList {
    cups_dest_t* Dests = nullptr;
    int Count = 0;
    TDestList() { Count = cupsGetDests2(CUPS_HTTP_DEFAULT, &Dests); }
    ~TDestList() { cupsFreeDests(Count, Dests); }
    TDestList(const TDestList&) = delete;
    TDestList& operator=(const TDestList&) = delete;
};

struct THttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
struct TDestInfoFree {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};

TCupsMedia MediaEntry(http_t* localizer, cups_dest_t* dest, cups_dinfo_t* info, cups_size_t& size) {
    TCupsMedia entry;
    entry.PwgName = size.media;
    entry.Width = size.width;
    entry.Length = size.length;
    if (localizer) {
        if (const char* localized = cupsLocalizeDestMedia(localizer, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            entry.LocalizedName = localized;
    }
    return entry;
}

// The media in the order the printer lists them ("media-supported"); CUPS's own media list is
// sorted by size, which would put envelopes and index cards before the everyday forms.
std::vector<TCupsMedia> MediaInPrinterOrder(http_t* localizer, http_t* connection, cups_dest_t* dest,
                                            cups_dinfo_t* info) {
    std::vector<TCupsMedia> media;
    ipp_attribute_t* supported = cupsFindDestSupported(connection, dest, info, "media");
    const int count = supported ? ippGetCount(supported) : 0;
    for (int i = 0; i < count; ++i) {
        const char* name = ippGetString(supported, i, nullptr);
        if (!name) continue;
        const std::string_view view(name);
        if (view.starts_with("custom_min_") || view.starts_with("custom_max_")) continue;  // size ranges
        cups_size_t size{};
        if (!cupsGetDestMediaByName(connection, dest, info, name, CUPS_MEDIA_FLAGS_DEFAULT, &size)) continue;
        media.push_back(MediaEntry(localizer, dest, info, size));
    }
    return media;
}

std::vector<TCupsMedia> MediaInCupsOrder(http_t* localizer, http_t* connection, cups_dest_t* dest,
                                         cups_dinfo_t* info) {
    std::vector<TCupsMedia> media;
    const int count = cupsGetDestMediaCount(connection, dest, info, CUPS_MEDIA_FLAGS_DEFAULT);
    for (int i = 0; i < count; ++i) {
        cups_size_t size{};
        if (cupsGetDestMediaByIndex(connection, dest, info, i, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            media.push_back(MediaEntry(localizer, dest, info, size));
    }
    return media;
}

}  // namespace

std::optional<TPaperForms> ReadCupsPaperForms(int printerIndex) {
    const TDestList list;
    cups_dest_t* dest = nullptr;
    if (printerIndex == -1) {
        dest = cupsGetDest(nullptr, nullptr, list.Count, list.Dests);
        if (!dest) return std::nullopt;
    } else {
        if (printerIndex < 0 || printerIndex >= list.Count) throw Exception("Printer index out of range");
        dest = &list.Dests[printerIndex];
    }

    // Our own connection to the scheduler: CUPS localizes media names only through a real one.
    const std::unique_ptr<http_t, THttpClose> http(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr));
    http_t* const connection = http ? http.get() : CUPS_HTTP_DEFAULT;
    const std::unique_ptr<cups_dinfo_t, TDestInfoFree> info(cupsCopyDestInfo(connection, dest));
    if (!info) return TPaperForms{};

    std::vector<TCupsMedia> media = MediaInPrinterOrder(http.get(), connection, dest, info.get());
    if (media.empty()) media = MediaInCupsOrder(http.get(), connection, dest, info.get());
    return FormsFromCupsMedia(media);
}

#else

std::optional<TPaperForms> ReadCupsPaperForms(int printerIndex) {
    if (printerIndex != -1) throw Exception("Printer index out of range");
    return std::nullopt;
}

#endif

}  // namespace tovra
