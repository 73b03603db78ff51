// tovrapdf-cli: BMP, GIF and JPEG images into one PDF, one page per image.
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/CliRun.h"
#include "cli/StopSignals.h"
#include "pdf/PdfClasses.h"
#include "report/ProcessSetup.h"

int main(int argc, char** argv) {
    tovra::GuardStandardDescriptors();
    tovra::IgnoreFileSizeSignal();
    tovra::cli::InstallStopSignalHandlers();
    tovra::TPdfClassesRegistration classes;
    const std::vector<std::string> args(argv + 1, argv + argc);
    tovra::cli::TCliEnvironment env;
    env.ProgressToTerminal = isatty(STDERR_FILENO) != 0;
    env.StopSignal = tovra::cli::StopSignalReceived;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) env.SourceDateEpoch = epoch;
    const int status = tovra::cli::RunCli(args, std::cout, std::cerr, env);
    std::cout.flush();
    return std::cout ? status : tovra::cli::kExitFailed;
}
