#pragma once
// Typed access to the dictionaries that carry document-level settings: the information
// dictionary and the catalog.
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/PdfTypes.h"

namespace tovra {

class TPdfDestination;

// Base of everything a document keeps in its list of owned objects (destroyed last-made-first).
class TPdfOwnedObject {
public:
    virtual ~TPdfOwnedObject() = default;
};

class TPdfDictionaryWrapper : public TPdfOwnedObject {
public:
    virtual void SetDict(TPdfDictionary* dict) { dict_ = dict; }
    TPdfDictionary* Dict() const { return dict_; }

private:
    TPdfDictionary* dict_ = nullptr;  // registered with the document's table, which owns it
};

struct TPDF_STR_TBL {
    const char* Key;
    const char* Value;
};
struct TPDF_INT_TBL {
    const char* Key;
    int32_t Value;
};
void AddStrElements(TPdfDictionary& dict, const std::vector<TPDF_STR_TBL>& rows);
void AddIntElements(TPdfDictionary& dict, const std::vector<TPDF_INT_TBL>& rows);

class TPdfInfo : public TPdfDictionaryWrapper {
public:
    void SetAuthor(const std::string& value);
    void SetCreator(const std::string& value);
    void SetTitle(const std::string& value);
    void SetSubject(const std::string& value);
    void SetKeywords(const std::string& value);
    void SetCreationDate(TDateTime value);
    void SetModDate(TDateTime value);
    // What the dates given are readings of; set by the document.
    TDateZone DateZone = TDateZone::Local;
};

enum TPdfPageLayout { plSinglePage, plOneColumn, plTwoColumnLeft, plTwoColumnRight };
enum TPdfPageMode { pmUseNone, pmUseOutlines, pmUseThumbs, pmFullScreen };
enum TPdfViewerPreference { vpHideToolbar, vpHideMenubar, vpHideWindowUI, vpFitWindow, vpCenterWindow };
using TPdfViewerPreferences = uint8_t;  // bit i set = member i of TPdfViewerPreference
constexpr TPdfViewerPreferences ViewerPreferenceBit(TPdfViewerPreference p) {
    return static_cast<TPdfViewerPreferences>(1u << p);
}
enum TPdfCompressionMethod { cmNone, cmFlateDecode };

const char* PageLayoutName(TPdfPageLayout value);
const char* PageModeName(TPdfPageMode value);

class TPdfCatalog : public TPdfDictionaryWrapper {
public:
    void SetPageLayout(TPdfPageLayout value);
    void SetPageMode(TPdfPageMode value);
    void SetNonFullScreenPageMode(TPdfPageMode value);
    void SetViewerPreference(TPdfViewerPreferences value);
    void SetPages(TPdfDictionary& node);
    // Stores the open action's destination array, or removes the entry when there is none.
    void StoreOpenAction();

    TPdfDestination* OpenAction = nullptr;  // not owned: destinations live in the document

private:
    void SetNameInPlace(TPdfDictionary& dict, const std::string& key, const std::string& name);
    TPdfDictionary& ViewerPreferences();
};

}  // namespace tovra
