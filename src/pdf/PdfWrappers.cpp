#include "pdf/PdfWrappers.h"

#include "pdf/PdfOutlines.h"

namespace tovra {

void AddStrElements(TPdfDictionary& dict, const std::vector<TPDF_STR_TBL>& rows) {
    for (const auto& row : rows) dict.Put(row.Key, std::make_unique<TPdfName>(row.Value));
}

void AddIntElements(TPdfDictionary& dict, const std::vector<TPDF_INT_TBL>& rows) {
    for (const auto& row : rows) dict.Put(row.Key, std::make_unique<TPdfNumber>(row.Value));
}

void TPdfInfo::SetAuthor(const std::string& value) { Dict()->Put("Author", std::make_unique<TPdfText>(value)); }
void TPdfInfo::SetCreator(const std::string& value) { Dict()->Put("Creator", std::make_unique<TPdfText>(value)); }
void TPdfInfo::SetTitle(const std::string& value) { Dict()->Put("Title", std::make_unique<TPdfText>(value)); }
void TPdfInfo::SetSubject(const std::string& value) { Dict()->Put("Subject", std::make_unique<TPdfText>(value)); }
void TPdfInfo::SetKeywords(const std::string& value) { Dict()->Put("Keywords", std::make_unique<TPdfText>(value)); }
void TPdfInfo::SetCreationDate(TDateTime value) {
    Dict()->Put("CreationDate", std::make_unique<TPdfText>(PdfDateString(value, DateZone)));
}
void TPdfInfo::SetModDate(TDateTime value) {
    Dict()->Put("ModDate", std::make_unique<TPdfText>(PdfDateString(value, DateZone)));
}

const char* PageLayoutName(TPdfPageLayout value) {
    static const char* const kNames[] = {"SinglePage", "OneColumn", "TwoColumnLeft", "TwoColumnRight"};
    return kNames[value];
}

const char* PageModeName(TPdfPageMode value) {
    static const char* const kNames[] = {"UseNone", "UseOutlines", "UseThumbs", "FullScreen"};
    return kNames[value];
}

void TPdfCatalog::SetNameInPlace(TPdfDictionary& dict, const std::string& key, const std::string& name) {
    if (TPdfName* existing = dict.NameByKey(key)) {
        existing->Value = name;  // keeps its place among the keys
    } else {
        dict.Put(key, std::make_unique<TPdfName>(name));
    }
}

void TPdfCatalog::SetPageLayout(TPdfPageLayout value) { SetNameInPlace(*Dict(), "PageLayout", PageLayoutName(value)); }

void TPdfCatalog::SetPageMode(TPdfPageMode value) { SetNameInPlace(*Dict(), "PageMode", PageModeName(value)); }

TPdfDictionary& TPdfCatalog::ViewerPreferences() {
    TPdfDictionary* prefs = Dict()->DictionaryByKey("ViewerPreferences");
    if (!prefs) {
        auto made = std::make_unique<TPdfDictionary>(Dict()->ObjectMgr());
        prefs = made.get();
        Dict()->Put("ViewerPreferences", std::move(made));
    }
    return *prefs;
}

void TPdfCatalog::SetNonFullScreenPageMode(TPdfPageMode value) {
    TPdfDictionary& prefs = ViewerPreferences();
    if (value == pmUseNone || value == pmFullScreen) {
        prefs.Remove("NonFullScreenPageMode");
    } else {
        SetNameInPlace(prefs, "NonFullScreenPageMode", PageModeName(value));
    }
}

void TPdfCatalog::SetViewerPreference(TPdfViewerPreferences value) {
    if (!Dict()->DictionaryByKey("ViewerPreferences") && value == 0) return;
    TPdfDictionary& prefs = ViewerPreferences();
    static const char* const kKeys[] = {"HideToolbar", "HideMenubar", "HideWindowUI", "FitWindow", "CenterWindow"};
    for (int member = vpHideToolbar; member <= vpCenterWindow; ++member) {
        if (value & ViewerPreferenceBit(static_cast<TPdfViewerPreference>(member))) {
            prefs.Put(kKeys[member], std::make_unique<TPdfBoolean>(true));
        } else {
            prefs.Remove(kKeys[member]);
        }
    }
}

void TPdfCatalog::SetPages(TPdfDictionary& node) {
    if (TypeNameOf(node) == "Pages") Dict()->Put("Pages", node);
}

void TPdfCatalog::StoreOpenAction() {
    if (OpenAction) {
        Dict()->Put("OpenAction", OpenAction->ToArray());
    } else {
        Dict()->Remove("OpenAction");
    }
}

}  // namespace tovra
