#pragma once
// The user's preferences and their INI file.
//
// Sections and keys, read and written in this order through the INI helpers (an empty INI path
// means DefaultIniFile()):
//   [AppDefaults]  AutoOpenPDF (1), ShowPicPreviewDialog (1), ShowFullPaths (0), ShowPreview (1),
//                  DefaultSaveDir (given by the caller: see IniLocation.h)
//   [PDFDefaults]  SizeMethod (1 = smFit; cut to its low 8 bits), PaperName ("Letter"),
//                  PaperPortrait (1), MarginLeft, MarginRight, MarginTop, MarginBottom (20 each)
//   [AppDefaults]  AutoOrient (1), CompactBitmaps (0), after the others, so a first write puts
//                  them at the end of AppDefaults and the older keys keep their order.
#include <string>

#include "convert/PDFImage.h"

namespace tovra {

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
    bool CompactBitmaps = false;  // bitmap pictures written smaller, with the same pixels
};

// Reads every value into the record and its PDFDefaults entry; missing keys and values that are
// not numbers give the defaults listed above. `defaultSaveDir` is DefaultSaveDir's default.
// Throws EInvalidOperation when the record has no PDFDefaults entry.
void ReadPrefs(TPrefsRecord& prefs, const std::string& defaultSaveDir, const std::string& iniPath = {});

// Writes every value in the same order. Throws EInvalidOperation when the record has no
// PDFDefaults entry (nothing is written then), and tovra::Exception "Unable to write to <path>"
// when a value cannot be written (the values after it are not written).
void WritePrefs(const TPrefsRecord& prefs, const std::string& iniPath = {});

// Copies the flags and DefaultSaveDir, and into target's own PDFDefaults entry the source
// entry's SizeMethod, PaperName, PaperPortrait and four margins. Throws EInvalidOperation when
// either record has no PDFDefaults entry.
void CopyPrefs(const TPrefsRecord& source, TPrefsRecord& target);

}  // namespace tovra
