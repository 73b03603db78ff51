#pragma once
// Paper forms as whole records (name, code, size) and the step from a list of forms to what a
// printer reports about its papers. A source made with PaperSourceWithFallback answers with the
// printer's forms, or with the built-in standard forms when the printer has none.
#include "PrintUtils.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovra {

struct TPaperForm {
    std::string Name;
    std::int16_t PaperID = 0;
    std::int32_t Width = 0;   // tenths of a millimetre
    std::int32_t Height = 0;  // tenths of a millimetre
    friend bool operator==(const TPaperForm&, const TPaperForm&) = default;
};
using TPaperForms = std::vector<TPaperForm>;

// The three parallel lists of names, codes and sizes for `forms`, in their order.
TPrinterPapers PrinterPapersFromForms(const TPaperForms& forms);

// Reads the forms of a printer by index (-1 = default); std::nullopt when there is no such printer.
using TPaperFormReader = std::function<std::optional<TPaperForms>(int printerIndex)>;

// A paper source that answers with what `reader` finds, or with StandardPaperForms() when the
// reader finds no printer or a printer without forms.
TPaperSource PaperSourceWithFallback(TPaperFormReader reader);

}  // namespace tovra
