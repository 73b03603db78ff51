#pragma once
// What tovrapdf-cli does with its command line, apart from the process around it.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tovra::cli {

inline constexpr int kExitWritten = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct TCliEnvironment {
    // Progress lines are written only to a terminal.
    bool ProgressToTerminal = false;
    // The value of SOURCE_DATE_EPOCH when set and not empty.
    std::optional<std::string> SourceDateEpoch;
};

// Runs the tool on the arguments (without the program name) and returns its exit status.
// Listings, help and version go to out; warnings, progress and failures to err.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TCliEnvironment& env);

}  // namespace tovra::cli
