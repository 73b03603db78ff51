#include "convert/Prefs.h"

#include "common/Exceptions.h"
#include "components/Other/IniFile.h"

namespace tovra {

namespace {

const std::string AppSection = "AppDefaults";
const std::string PdfSection = "PDFDefaults";

void RequireDefaults(const TPrefsRecord& prefs, const char* operation) {
    if (prefs.PDFDefaults == nullptr) throw EInvalidOperation(std::string(operation) + " --PDFDefaults is null.");
}

}  // namespace

void ReadPrefs(TPrefsRecord& prefs, const std::string& defaultSaveDir, const std::string& iniPath) {
    RequireDefaults(prefs, "ReadPrefs");
    TPDFImage& defaults = *prefs.PDFDefaults;
    prefs.AutoOpenPDF = IniReadBool(AppSection, "AutoOpenPDF", true, iniPath);
    prefs.ShowPicPreviewDialog = IniReadBool(AppSection, "ShowPicPreviewDialog", true, iniPath);
    prefs.ShowFullPaths = IniReadBool(AppSection, "ShowFullPaths", false, iniPath);
    prefs.ShowPreview = IniReadBool(AppSection, "ShowPreview", true, iniPath);
    prefs.DefaultSaveDir = IniReadString(AppSection, "DefaultSaveDir", defaultSaveDir, iniPath);
    // The sizing mode is held in one byte; whatever number the file holds is cut to it.
    defaults.SizeMethod = static_cast<TSizeMethod>(IniReadInteger(PdfSection, "SizeMethod", smFit, iniPath) & 0xFF);
    defaults.PaperName = IniReadString(PdfSection, "PaperName", "Letter", iniPath);
    defaults.PaperPortrait = IniReadBool(PdfSection, "PaperPortrait", true, iniPath);
    defaults.MarginLeft = IniReadInteger(PdfSection, "MarginLeft", 20, iniPath);
    defaults.MarginRight = IniReadInteger(PdfSection, "MarginRight", 20, iniPath);
    defaults.MarginTop = IniReadInteger(PdfSection, "MarginTop", 20, iniPath);
    defaults.MarginBottom = IniReadInteger(PdfSection, "MarginBottom", 20, iniPath);
    prefs.AutoOrient = IniReadBool(AppSection, "AutoOrient", true, iniPath);
    prefs.CompactBitmaps = IniReadBool(AppSection, "CompactBitmaps", false, iniPath);
}

void WritePrefs(const TPrefsRecord& prefs, const std::string& iniPath) {
    RequireDefaults(prefs, "WritePrefs");
    const TPDFImage& defaults = *prefs.PDFDefaults;
    IniWriteBool(AppSection, "AutoOpenPDF", prefs.AutoOpenPDF, iniPath);
    IniWriteBool(AppSection, "ShowPicPreviewDialog", prefs.ShowPicPreviewDialog, iniPath);
    IniWriteBool(AppSection, "ShowFullPaths", prefs.ShowFullPaths, iniPath);
    IniWriteBool(AppSection, "ShowPreview", prefs.ShowPreview, iniPath);
    IniWriteString(AppSection, "DefaultSaveDir", prefs.DefaultSaveDir, iniPath);
    IniWriteInteger(PdfSection, "SizeMethod", defaults.SizeMethod, iniPath);
    IniWriteString(PdfSection, "PaperName", defaults.PaperName, iniPath);
    IniWriteBool(PdfSection, "PaperPortrait", defaults.PaperPortrait, iniPath);
    IniWriteInteger(PdfSection, "MarginLeft", defaults.MarginLeft, iniPath);
    IniWriteInteger(PdfSection, "MarginRight", defaults.MarginRight, iniPath);
    IniWriteInteger(PdfSection, "MarginTop", defaults.MarginTop, iniPath);
    IniWriteInteger(PdfSection, "MarginBottom", defaults.MarginBottom, iniPath);
    IniWriteBool(AppSection, "AutoOrient", prefs.AutoOrient, iniPath);
    IniWriteBool(AppSection, "CompactBitmaps", prefs.CompactBitmaps, iniPath);
}

void CopyPrefs(const TPrefsRecord& source, TPrefsRecord& target) {
    RequireDefaults(source, "CopyPrefs");
    RequireDefaults(target, "CopyPrefs");
    target.AutoOpenPDF = source.AutoOpenPDF;
    target.ShowPicPreviewDialog = source.ShowPicPreviewDialog;
    target.ShowFullPaths = source.ShowFullPaths;
    target.ShowPreview = source.ShowPreview;
    target.DefaultSaveDir = source.DefaultSaveDir;
    target.AutoOrient = source.AutoOrient;
    target.CompactBitmaps = source.CompactBitmaps;
    TPDFImage& to = *target.PDFDefaults;
    const TPDFImage& from = *source.PDFDefaults;
    to.SizeMethod = from.SizeMethod;
    to.PaperName = from.PaperName;
    to.PaperPortrait = from.PaperPortrait;
    to.MarginLeft = from.MarginLeft;
    to.MarginRight = from.MarginRight;
    to.MarginTop = from.MarginTop;
    to.MarginBottom = from.MarginBottom;
}

}  // namespace tovra
