#pragma once
// What tovrapdf-cli does with its command line, apart from the process around it.
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tovra::cli {

inline constexpr int kExitWritten = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// A run stopped by a signal exits with 128 + its number: 129 for SIGHUP, 130 for SIGINT, 143
// for SIGTERM.
inline constexpr int kExitSignalBase = 128;

struct TCliEnvironment {
    // Progress lines are written only to a terminal.
    bool ProgressToTerminal = false;
    // The value of SOURCE_DATE_EPOCH when set and not empty.
    std::optional<std::string> SourceDateEpoch;
    // The signal that asked the run to stop, or 0; asked after each page and before the file
    // is put in place. None: the run is never stopped.
    std::function<int()> StopSignal;
};

// Runs the tool on the arguments (without the program name) and returns its exit status.
// Listings, help and version go to out; warnings, progress and failures to err.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TCliEnvironment& env);

}  // namespace tovra::cli
