#include "PrintUtils.h"

#include "CupsPapers.h"
#include "PaperForms.h"
#include "common/Exceptions.h"

#include <utility>

namespace tovra {

namespace {

TPaperSource& CurrentSource() {
    static TPaperSource source = PaperSourceWithFallback(ReadCupsPaperForms);
    return source;
}

// The name cut to MaxPaperNameLength bytes, without leaving half a UTF-8 character at the end.
std::string CutPaperName(const std::string& name) {
    if (name.size() <= MaxPaperNameLength) return name;
    std::size_t length = MaxPaperNameLength;
    auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    if (continuation(name[length])) {
        while (length > 0 && continuation(name[length])) --length;  // back to the lead byte
    }
    return name.substr(0, length);
}

// Names and codes as a printer driver hands them out: both lists must be equally long.
void NamesFromPapers(const TPrinterPapers& papers, TPaperNames& names) {
    if (papers.Names.size() != papers.Codes.size())
        throw Exception("DeviceCapabilities reports different number of papers and paper names!");
    if (papers.Names.empty()) return;
    names.clear();
    names.reserve(papers.Names.size());
    for (std::size_t i = 0; i < papers.Names.size(); ++i) names.push_back({papers.Names[i], papers.Codes[i]});
}

// One size per paper; a size the printer did not give reads as 0 x 0.
void SizesFromPapers(const TPrinterPapers& papers, TPaperSizes& sizes) {
    sizes.assign(papers.Codes.size(), TPaperSize{});
    for (std::size_t i = 0; i < sizes.size() && i < papers.Sizes.size(); ++i) sizes[i] = papers.Sizes[i];
}

}  // namespace

void GetPaperNames(TPaperNames& names, int printerIndex, const TPaperSource& source) {
    NamesFromPapers(source(printerIndex), names);
}

void GetPaperSizes(TPaperSizes& sizes, int printerIndex, const TPaperSource& source) {
    SizesFromPapers(source(printerIndex), sizes);
}

void GetPaperInfos(TPaperInfos& infos, int printerIndex, const TPaperSource& source) {
    // One question to the printer serves both lists, so they cannot disagree by a change between two.
    const TPrinterPapers papers = source(printerIndex);
    TPaperNames names;
    NamesFromPapers(papers, names);
    if (names.size() != papers.Sizes.size()) throw Exception("Assertion failure");
    TPaperSizes sizes;
    SizesFromPapers(papers, sizes);

    infos.clear();
    infos.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        TPaperInfo info;
        info.Name = CutPaperName(names[i].Name);
        info.PaperID = static_cast<std::int16_t>(names[i].PaperID);
        info.Width = sizes[i].X;
        info.Height = sizes[i].Y;
        infos.push_back(std::move(info));
    }
}

void GetPaperNames(TPaperNames& names, int printerIndex) { GetPaperNames(names, printerIndex, CurrentSource()); }
void GetPaperSizes(TPaperSizes& sizes, int printerIndex) { GetPaperSizes(sizes, printerIndex, CurrentSource()); }
void GetPaperInfos(TPaperInfos& infos, int printerIndex) { GetPaperInfos(infos, printerIndex, CurrentSource()); }

const TPaperSource& DefaultPaperSource() { return CurrentSource(); }

TPaperSourceOverride::TPaperSourceOverride(TPaperSource source) : previous_(std::move(CurrentSource())) {
    CurrentSource() = std::move(source);
}

TPaperSourceOverride::~TPaperSourceOverride() { CurrentSource() = std::move(previous_); }

}  // namespace tovra
