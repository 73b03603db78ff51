#pragma once
// Readable failure output for paper records in the paper tests.
#include "components/Other/PaperForms.h"
#include "components/Other/PrintUtils.h"

#include <ostream>

namespace tovra {

inline void PrintTo(const TPaperForm& form, std::ostream* out) {
    *out << '"' << form.Name << "\" #" << form.PaperID << ' ' << form.Width << 'x' << form.Height;
}

inline void PrintTo(const TPaperInfo& info, std::ostream* out) {
    *out << '"' << info.Name << "\" #" << info.PaperID << ' ' << info.Width << 'x' << info.Height;
}

}  // namespace tovra
