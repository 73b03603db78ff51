#include "report/ProcessSetup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "common/Exceptions.h"

namespace tovra {

namespace {
bool gStandardOutputClosed = false;
}  // namespace

void GuardStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        if (fd == STDOUT_FILENO) gStandardOutputClosed = true;
        // open returns the lowest free number: this one, since the lower ones are taken by now.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

void RequireOpenStandardOutput() {
    if (gStandardOutputClosed) throw Exception(std::string("Error writing to standard output: ") + std::strerror(EBADF));
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace tovra
