#include "StandardPapers.h"

namespace tovra {

const TPaperForms& StandardPaperForms() {
    // Inch sizes are rounded to the nearest tenth of a millimetre (7.25 in = 184.15 mm -> 1842).
    static const TPaperForms forms = {
        {"Letter", 1, 2159, 2794},     {"Legal", 5, 2159, 3556},     {"Tabloid", 3, 2794, 4318},
        {"Executive", 7, 1842, 2667},  {"Statement", 6, 1397, 2159}, {"A3", 8, 2970, 4200},
        {"A4", 9, 2100, 2970},         {"A5", 11, 1480, 2100},       {"B4 (JIS)", 12, 2570, 3640},
        {"B5 (JIS)", 13, 1820, 2570},
    };
    return forms;
}

}  // namespace tovra
