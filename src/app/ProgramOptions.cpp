#include "ProgramOptions.h"

#include <algorithm>

namespace tovra {

std::optional<int> RunInfoOption(const std::vector<std::string>& args, std::ostream& out) {
    const auto end = std::find(args.begin(), args.end(), "--");
    auto given = [&](std::initializer_list<const char*> names) {
        return std::any_of(args.begin(), end, [&](const std::string& arg) {
            return std::any_of(names.begin(), names.end(), [&](const char* name) { return arg == name; });
        });
    };
    if (given({"-h", "--help"})) {
        out << ProgramHelpText();
        return 0;
    }
    if (given({"--version"})) {
        out << ProgramVersionText();
        return 0;
    }
    return std::nullopt;
}

std::string ProgramHelpText() {
    return "Usage: tovrapdf [FILE...]\n"
           "Opens the Tovra PDF window, which makes one PDF from a list of images, one page per\n"
           "image. Each FILE is put in the list as if it had been dropped on it.\n"
           "\n"
           "  -h, --help     show this help\n"
           "      --version  show the version\n"
           "\n"
           "In the window: Ctrl+O Load Images, Ctrl+S Create PDF, F1 About.\n"
           "tovrapdf-cli makes the same PDF without a window.\n";
}

std::string ProgramVersionText() { return std::string("tovrapdf (Tovra PDF) ") + TOVRA_VERSION + "\n"; }

}  // namespace tovra
