#include "PrivateCupsd.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tovra::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool PrivateCupsd::Available() { return access(Program, X_OK) == 0; }

PrivateCupsd::PrivateCupsd(const std::string& queue, const std::string& ppd) : dir_(temp_.Path()) {
    WriteConfiguration(queue, ppd);
    const std::string log = (dir_ / "cupsd.out").string();
    const std::string conf = (dir_ / "root" / "cupsd.conf").string();
    const std::string files = (dir_ / "root" / "cups-files.conf").string();
    pid_ = fork();
    if (pid_ == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        execl(Program, Program, "-f", "-c", conf.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid_ < 0) {
        problem_ = "fork failed";
        return;
    }
    if (!WaitForSocket()) problem_ = "cupsd did not start:\n" + ReadFileBytes(log) + ReadFileBytes(dir_ / "error_log");
}

PrivateCupsd::~PrivateCupsd() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
        std::this_thread::sleep_for(100ms);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

void PrivateCupsd::WriteConfiguration(const std::string& queue, const std::string& ppd) {
    for (const char* sub : {"root/ppd", "spool/tmp", "cache", "state"}) fs::create_directories(dir_ / sub);
    const std::string d = dir_.string();
    WriteFileBytes(dir_ / "root" / "cupsd.conf",
                   "Listen " + d + "/cups.sock\n"
                   "LogLevel warn\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
    std::string files = "ServerRoot " + d + "/root\nRequestRoot " + d + "/spool\nTempDir " + d +
                        "/spool/tmp\nCacheDir " + d + "/cache\nStateDir " + d + "/state\nErrorLog " + d +
                        "/error_log\nAccessLog " + d + "/access_log\nPageLog " + d + "/page_log\n";
    if (geteuid() != 0) {
        // Not root: the scheduler keeps the caller's user and group instead of switching to lp.
        if (const passwd* user = getpwuid(geteuid())) files += "User " + std::string(user->pw_name) + "\n";
        if (const group* grp = getgrgid(getegid())) {
            files += "Group " + std::string(grp->gr_name) + "\nSystemGroup " + grp->gr_name + "\n";
        }
    }
    WriteFileBytes(dir_ / "root" / "cups-files.conf", files);
    WriteFileBytes(dir_ / "root" / "printers.conf",
                   "<Printer " + queue + ">\nInfo Tovra test queue\nDeviceURI file:///dev/null\nState Idle\n"
                   "Accepting Yes\nShared No\n</Printer>\n");
    WriteFileBytes(dir_ / "root" / "ppd" / (queue + ".ppd"), ppd);
}

bool PrivateCupsd::WaitForSocket() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = Socket();
    if (path.size() >= sizeof(address.sun_path)) return false;
    path.copy(address.sun_path, path.size());
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool connected = fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0) close(fd);
        if (connected) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

}  // namespace tovra::test
