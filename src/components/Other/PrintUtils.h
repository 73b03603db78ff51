#pragma once
// The paper forms of a printer: names, paper codes and sizes in tenths of a millimetre,
// in the order the printer lists them. Printer index -1 is the default printer.
//
// The forms come from a paper source. The default source asks CUPS for the printer's media
// and falls back to a built-in list of standard forms when there is no default printer or it
// reports none. Every operation also takes an explicit source, and the process-wide default
// can be replaced for a while (TPaperSourceOverride), so callers can be tested without a printer.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tovra {

// Longest paper name kept in a TPaperInfo, in bytes.
inline constexpr std::size_t MaxPaperNameLength = 63;

// Width (X) and height (Y) of a paper in tenths of a millimetre, portrait.
struct TPaperSize {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPaperSize&, const TPaperSize&) = default;
};
using TPaperSizes = std::vector<TPaperSize>;

// One paper name with the printer's paper code for it.
struct TPaperName {
    std::string Name;
    std::int32_t PaperID = 0;
    friend bool operator==(const TPaperName&, const TPaperName&) = default;
};
using TPaperNames = std::vector<TPaperName>;

struct TPaperInfo {
    std::string Name;            // at most MaxPaperNameLength bytes
    std::int16_t PaperID = 0;    // the printer's paper code
    std::int32_t Width = 0;      // tenths of a millimetre
    std::int32_t Height = 0;     // tenths of a millimetre
    friend bool operator==(const TPaperInfo&, const TPaperInfo&) = default;
};
using TPaperInfos = std::vector<TPaperInfo>;

// What a printer reports about its papers, as three lists that a consistent printer keeps
// equally long: the names, the paper codes and the sizes, element i describing paper i.
struct TPrinterPapers {
    std::vector<std::string> Names;
    std::vector<std::int16_t> Codes;
    TPaperSizes Sizes;
};

// Asks a printer (by index, -1 = default) for its papers.
using TPaperSource = std::function<TPrinterPapers(int printerIndex)>;

// Fills `names` with the printer's paper names and codes. Leaves it untouched when the printer
// reports no papers. Throws Exception when the printer reports different numbers of names and papers.
void GetPaperNames(TPaperNames& names, int printerIndex);
void GetPaperNames(TPaperNames& names, int printerIndex, const TPaperSource& source);

// Sets `sizes` to the printer's paper sizes, one per paper.
void GetPaperSizes(TPaperSizes& sizes, int printerIndex);
void GetPaperSizes(TPaperSizes& sizes, int printerIndex, const TPaperSource& source);

// Sets `infos` from the two operations above; names are cut to MaxPaperNameLength bytes.
void GetPaperInfos(TPaperInfos& infos, int printerIndex);
void GetPaperInfos(TPaperInfos& infos, int printerIndex, const TPaperSource& source);

// The source the operations without an explicit source use: the printer's media through CUPS,
// or the built-in standard forms when it has none (see StandardPapers.h, CupsPapers.h).
const TPaperSource& DefaultPaperSource();

// Makes `source` the default paper source while the guard lives (tests of code that fills paper
// boxes use it to pin the papers). Guards nest; each restores the source it replaced.
class TPaperSourceOverride {
public:
    explicit TPaperSourceOverride(TPaperSource source);
    ~TPaperSourceOverride();
    TPaperSourceOverride(const TPaperSourceOverride&) = delete;
    TPaperSourceOverride& operator=(const TPaperSourceOverride&) = delete;

private:
    TPaperSource previous_;
};

}  // namespace tovra
