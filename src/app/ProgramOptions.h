#pragma once
// The options of the desktop program itself: --help and --version print and end the program
// before any window or display is needed, as tovrapdf-cli's do. Every other argument is left
// to the toolkit and the file list (see CommandLineFiles.h).
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tovra {

// Prints the help (-h, --help) or the version (--version) when the arguments (without the
// program's name) ask for one, help first, and returns the exit status 0; nothing for other
// arguments. Arguments after "--" are file names.
std::optional<int> RunInfoOption(const std::vector<std::string>& args, std::ostream& out);

std::string ProgramHelpText();
std::string ProgramVersionText();

}  // namespace tovra
