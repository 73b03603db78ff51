#include "convert/PDFImage.h"

namespace tovra {

void CopyImage(TPDFImage& target, const TPDFImage& source) { target = source; }

void ApplyPaper(TPDFImage& entry, const std::string& paperName, std::int32_t paperWidth, std::int32_t paperHeight,
                bool portrait) {
    entry.PaperName = paperName;
    entry.PaperPortrait = portrait;
    entry.PageWidth = portrait ? paperWidth : paperHeight;
    entry.PageHeight = portrait ? paperHeight : paperWidth;
}

void ApplyMargins(TPDFImage& entry, std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    entry.MarginTop = top;
    entry.MarginBottom = bottom;
    entry.MarginLeft = left;
    entry.MarginRight = right;
}

}  // namespace tovra
