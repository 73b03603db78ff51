#pragma once
// The papers the tool offers: those of the default printer, or the built-in standard forms.
#include <cstdint>
#include <ostream>
#include <string>

namespace tovra::cli {

struct TPaperChoice {
    std::string Name;  // as the paper list spells it
    std::int32_t Width = 0;   // points, portrait
    std::int32_t Height = 0;  // points, portrait
};

// One line per paper: name, width and height in points, separated by tabs.
void ListPapers(std::ostream& out);

// The paper whose name equals `name` without regard to case; EUsage when there is none. An empty
// name asks for the default: the system's paper (DefaultPaperName), else the list's first.
TPaperChoice FindPaper(const std::string& name);

}  // namespace tovra::cli
