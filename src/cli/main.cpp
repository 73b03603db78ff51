// tovrapdf-cli: pictures into one PDF, one page per picture.
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/CliRun.h"
#include "cli/StopSignals.h"
#include "pdf/PdfClasses.h"
#include "report/ProcessSetup.h"

namespace {

// Every picture of a batch allocates and frees picture-sized buffers (decoded pixels, the image's
// rows, compressed data). Left in the heap instead of going back to the kernel after each
// picture, they are reused by the next one rather than faulted in afresh, which took a sixth to a
// quarter of the CPU time of bitmap batches. Memory still does not grow with the batch; buffers
// above 32 MiB are still returned at once.
void KeepPictureBuffers() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    tovra::GuardStandardDescriptors();
    tovra::IgnoreFileSizeSignal();
    KeepPictureBuffers();
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
