#include "components/Other/SystemPaper.h"

#include <cstdlib>
#include <memory>

#include <paper.h>

namespace tovra {

std::optional<TSystemPaper> SystemPaper() {
    paperinit();
    // systempapername() hands over a string of its own allocation.
    const std::unique_ptr<char, decltype(&std::free)> name(systempapername(), &std::free);
    std::optional<TSystemPaper> result;
    if (name && *name) {
        result = TSystemPaper{name.get()};
        if (const paper* known = paperinfo(name.get())) {
            result->Width = paperpswidth(known);
            result->Height = paperpsheight(known);
        }
    }
    paperdone();
    return result;
}

}  // namespace tovra
