#pragma once
// A CUPS scheduler of the test's own: its configuration, spool and socket live in a temporary
// folder, it listens on a Unix socket only, and it is stopped when the object goes away.
// Nothing outside the folder is touched.
#include "TestSupport.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace tovra::test {

class PrivateCupsd {
public:
    static constexpr const char* Program = "/usr/sbin/cupsd";
    static bool Available();

    // Starts the scheduler with one queue named `queue` whose driver is the PPD text `ppd`.
    // Check Running() afterwards; Problem() says what went wrong.
    PrivateCupsd(const std::string& queue, const std::string& ppd);
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    bool Running() const { return pid_ > 0 && problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    std::string Socket() const { return (dir_ / "cups.sock").string(); }

private:
    void WriteConfiguration(const std::string& queue, const std::string& ppd);
    bool WaitForSocket();

    TempDir temp_;
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    std::string problem_;
};

}  // namespace tovra::test
