#include "TestSupport.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tovra::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tovra-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

TimeZone::TimeZone(const char* rule) {
    if (const char* old = std::getenv("TZ")) {
        saved_ = old;
        wasSet_ = true;
    }
    setenv("TZ", rule, 1);
    tzset();
}

TimeZone::~TimeZone() {
    if (wasSet_) {
        setenv("TZ", saved_.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    const std::string full = command + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(full.c_str(), "r"), pclose);
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) result.output.append(buffer.data(), n);
    const int status = pclose(pipe.release());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

std::string QpdfProblems(const fs::path& pdf) {
    const CommandResult r = RunCommand("qpdf --check " + ShellQuote(pdf.string()));
    const bool clean = r.exitCode == 0 && r.output.find("WARNING") == std::string::npos &&
                       r.output.find("No syntax or stream encoding errors found") != std::string::npos;
    return clean ? "" : r.output;
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path CorpusDir() {
    const char* fromEnv = std::getenv("TOVRA_CORPUS_DIR");
    fs::path dir = fromEnv ? fs::path(fromEnv) : fs::path(TOVRA_CORPUS_DIR);
    // An empty folder is no corpus either: TOVRA_CORPUS_DIR=<empty folder> skips the corpus tests.
    std::error_code error;
    return fs::is_directory(dir, error) && !fs::is_empty(dir, error) ? dir : fs::path();
}

}  // namespace tovra::test
