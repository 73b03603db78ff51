#pragma once
// The paper size the system is set to, as libpaper finds it: $PAPERSIZE, else the file named by
// $PAPERCONF, else /etc/papersize (Debian's `paperconfig` writes it).
#include <optional>
#include <string>

namespace tovra {

struct TSystemPaper {
    std::string Name;   // as configured, for example "a4" or "letter"
    double Width = 0;   // points (portrait); 0 when libpaper does not know the name
    double Height = 0;  // points
};

// Nothing when no paper is configured.
std::optional<TSystemPaper> SystemPaper();

}  // namespace tovra
