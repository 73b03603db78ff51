#pragma once
// SIGINT, SIGTERM and SIGHUP (the terminal went away) ask a run to stop at its next check
// instead of killing the process, so it can remove its temporary file and leave an existing
// output as it was.
namespace tovra::cli {

// Installs handlers that only note the signal; interrupted system calls are not restarted,
// so a wait on a pipe ends too.
void InstallStopSignalHandlers();

// The stop signal received so far (SIGINT, SIGTERM or SIGHUP), or 0.
int StopSignalReceived();

}  // namespace tovra::cli
