#include "PaperForms.h"

#include "StandardPapers.h"

#include <utility>

namespace tovra {

TPrinterPapers PrinterPapersFromForms(const TPaperForms& forms) {
    TPrinterPapers papers;
    papers.Names.reserve(forms.size());
    papers.Codes.reserve(forms.size());
    papers.Sizes.reserve(forms.size());
    for (const TPaperForm& form : forms) {
        papers.Names.push_back(form.Name);
        papers.Codes.push_back(form.PaperID);
        papers.Sizes.push_back({form.Width, form.Height});
    }
    return papers;
}

TPaperSource PaperSourceWithFallback(TPaperFormReader reader) {
    return [reader = std::move(reader)](int printerIndex) {
        const std::optional<TPaperForms> forms = reader(printerIndex);
        if (!forms || forms->empty()) return PrinterPapersFromForms(StandardPaperForms());
        return PrinterPapersFromForms(*forms);
    };
}

}  // namespace tovra
