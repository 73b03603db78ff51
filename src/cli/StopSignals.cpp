#include "cli/StopSignals.h"

#include <csignal>

namespace tovra::cli {

namespace {

volatile std::sig_atomic_t gStopSignal = 0;

extern "C" void NoteStopSignal(int signal) { gStopSignal = signal; }

}  // namespace

void InstallStopSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = NoteStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

int StopSignalReceived() { return gStopSignal; }

}  // namespace tovra::cli
