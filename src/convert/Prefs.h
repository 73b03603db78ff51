#pragma once
// The user's preferences and their INI file.
//
// Sections and keys, read and written in this order, the file read once and written once (an
// empty INI path means DefaultIniFile()):
//   [AppDefaults]  AutoOpenPDF (1), ShowPicPreviewDialog (1), ShowFullPaths (0), ShowPreview (1),
//                  DefaultSaveDir (given by the caller: see IniLocation.h)
//   [PDFDefaults]  SizeMethod (1 = smFit; cut to its low 8 bits), PaperName (given by the caller:
//                  the system's paper, else "Letter"), PaperPortrait (1), MarginLeft,
//                  MarginRight, MarginTop, MarginBottom (20 each; a value beyond
//                  +-kMaxStoredMargin reads as 20, so no stored number can overflow a layout)
//   [AppDefaults]  AutoOrient (1), then LosslessDecoded (0) and CompactBitmaps (0), after the
//                  others, so a first write puts them at the end of AppDefaults and the older keys
//                  keep their order.
#include <cstdint>
#include <string>

#include "components/Other/IniDocument.h"
#include "convert/PDFImage.h"
#include "convert/PaperList.h"

namespace tovra {

inline constexpr std::int32_t kDefaultMargin = 20;
inline constexpr std::int32_t kMaxStoredMargin = 100000;

struct TPrefsRecord {
    bool AutoOpenPDF = false;           // open each new PDF with its program
    bool ShowPicPreviewDialog = false;  // Load Images uses the open dialog with a picture preview
    bool ShowFullPaths = false;         // list rows show full paths
    bool ShowPreview = false;           // the main window shows its preview area
    std::string DefaultSaveDir;         // where the save dialog for new PDFs starts
    // The default page settings: only SizeMethod, PaperName, PaperPortrait and the four margins
    // are used. Not owned: whoever holds the record creates the entry before the record is first
    // read into and destroys it with the record.
    TPDFImage* PDFDefaults = nullptr;
    bool AutoOrient = true;  // photos are turned upright by their EXIF orientation
    bool LosslessDecoded = false;  // HEIF and AVIF photos as exact pixels, not one JPEG encode
    bool CompactBitmaps = false;  // bitmap pictures written smaller, with the same pixels
};

// Reads every value into the record and its PDFDefaults entry; missing keys and values that are
// not numbers give the defaults listed above. `defaultSaveDir` is DefaultSaveDir's default,
// `defaultPaperName` PaperName's. Returns what was found at the path: a file too large to be read
// gives every default (TIniLoad::TooLarge). Throws EInvalidOperation when the record has no
// PDFDefaults entry.
TIniLoad ReadPrefs(TPrefsRecord& prefs, const std::string& defaultSaveDir, const std::string& iniPath = {},
                   const std::string& defaultPaperName = kLetterPaperName);

// Writes every value in the same order, in one atomic write that keeps the file's other sections
// and keys (a file too large to be read is replaced). Throws EInvalidOperation when the record
// has no PDFDefaults entry, and tovra::Exception "Unable to write to <path>" when the file cannot
// be written; nothing is written then.
void WritePrefs(const TPrefsRecord& prefs, const std::string& iniPath = {});

// Copies the flags and DefaultSaveDir, and into target's own PDFDefaults entry the source
// entry's SizeMethod, PaperName, PaperPortrait and four margins. Throws EInvalidOperation when
// either record has no PDFDefaults entry.
void CopyPrefs(const TPrefsRecord& source, TPrefsRecord& target);

}  // namespace tovra
