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

// A stored margin, or the default 20 for one beyond any page (a hand-edited or damaged file).
std::int32_t ReadMargin(const TIniDocument& ini, const std::string& key) {
    const std::int32_t value = ini.ReadInteger(PdfSection, key, kDefaultMargin);
    return value < -kMaxStoredMargin || value > kMaxStoredMargin ? kDefaultMargin : value;
}

}  // namespace

TIniLoad ReadPrefs(TPrefsRecord& prefs, const std::string& defaultSaveDir, const std::string& iniPath,
                   const std::string& defaultPaperName) {
    RequireDefaults(prefs, "ReadPrefs");
    const TIniDocument ini(IniPathOrDefault(iniPath));
    TPDFImage& defaults = *prefs.PDFDefaults;
    prefs.AutoOpenPDF = ini.ReadBool(AppSection, "AutoOpenPDF", true);
    prefs.ShowPicPreviewDialog = ini.ReadBool(AppSection, "ShowPicPreviewDialog", true);
    prefs.ShowFullPaths = ini.ReadBool(AppSection, "ShowFullPaths", false);
    prefs.ShowPreview = ini.ReadBool(AppSection, "ShowPreview", true);
    prefs.DefaultSaveDir = ini.ReadString(AppSection, "DefaultSaveDir", defaultSaveDir);
    // The sizing mode is held in one byte; whatever number the file holds is cut to it.
    defaults.SizeMethod = static_cast<TSizeMethod>(ini.ReadInteger(PdfSection, "SizeMethod", smFit) & 0xFF);
    defaults.PaperName = ini.ReadString(PdfSection, "PaperName", defaultPaperName);
    defaults.PaperPortrait = ini.ReadBool(PdfSection, "PaperPortrait", true);
    defaults.MarginLeft = ReadMargin(ini, "MarginLeft");
    defaults.MarginRight = ReadMargin(ini, "MarginRight");
    defaults.MarginTop = ReadMargin(ini, "MarginTop");
    defaults.MarginBottom = ReadMargin(ini, "MarginBottom");
    prefs.AutoOrient = ini.ReadBool(AppSection, "AutoOrient", true);
    prefs.LosslessDecoded = ini.ReadBool(AppSection, "LosslessDecoded", false);
    prefs.CompactBitmaps = ini.ReadBool(AppSection, "CompactBitmaps", false);
    return ini.LoadResult();
}

void WritePrefs(const TPrefsRecord& prefs, const std::string& iniPath) {
    RequireDefaults(prefs, "WritePrefs");
    const TPDFImage& defaults = *prefs.PDFDefaults;
    TIniDocument ini(IniPathOrDefault(iniPath));
    ini.WriteBool(AppSection, "AutoOpenPDF", prefs.AutoOpenPDF);
    ini.WriteBool(AppSection, "ShowPicPreviewDialog", prefs.ShowPicPreviewDialog);
    ini.WriteBool(AppSection, "ShowFullPaths", prefs.ShowFullPaths);
    ini.WriteBool(AppSection, "ShowPreview", prefs.ShowPreview);
    ini.WriteString(AppSection, "DefaultSaveDir", prefs.DefaultSaveDir);
    ini.WriteInteger(PdfSection, "SizeMethod", defaults.SizeMethod);
    ini.WriteString(PdfSection, "PaperName", defaults.PaperName);
    ini.WriteBool(PdfSection, "PaperPortrait", defaults.PaperPortrait);
    ini.WriteInteger(PdfSection, "MarginLeft", defaults.MarginLeft);
    ini.WriteInteger(PdfSection, "MarginRight", defaults.MarginRight);
    ini.WriteInteger(PdfSection, "MarginTop", defaults.MarginTop);
    ini.WriteInteger(PdfSection, "MarginBottom", defaults.MarginBottom);
    ini.WriteBool(AppSection, "AutoOrient", prefs.AutoOrient);
    ini.WriteBool(AppSection, "LosslessDecoded", prefs.LosslessDecoded);
    ini.WriteBool(AppSection, "CompactBitmaps", prefs.CompactBitmaps);
    ini.Save();
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
    target.LosslessDecoded = source.LosslessDecoded;
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
