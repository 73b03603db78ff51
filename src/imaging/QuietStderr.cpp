#include "QuietStderr.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#define TOVRA_HAS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOVRA_HAS_ASAN 1
#endif
#endif
#ifdef TOVRA_HAS_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace tovra {

namespace {

std::mutex quietMutex;
int quietDepth = 0;     // guards alive, all threads together
int savedStderr = -1;   // the real standard error while quiet

void ReportSanitizerErrorsTo(int fd) {
#ifdef TOVRA_HAS_ASAN
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
#else
    (void)fd;
#endif
}

}  // namespace

TQuietStderr::TQuietStderr() {
    const std::lock_guard<std::mutex> lock(quietMutex);
    if (quietDepth++ > 0) return;
    std::fflush(stderr);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return;
    savedStderr = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (savedStderr >= 0) {
        ReportSanitizerErrorsTo(savedStderr);
        dup2(null, STDERR_FILENO);
    }
    close(null);
}

TQuietStderr::~TQuietStderr() {
    const std::lock_guard<std::mutex> lock(quietMutex);
    if (--quietDepth > 0 || savedStderr < 0) return;
    std::fflush(stderr);
    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
    savedStderr = -1;
    ReportSanitizerErrorsTo(STDERR_FILENO);
}

}  // namespace tovra
