#pragma once
// Helpers shared by the test binaries: temporary folders, running the PDF tools
// (qpdf, pdfinfo, pdfimages, pdftoppm) on files the tests write, and the corpus location.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tovra::test {

// A fresh folder under the system temp folder, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

struct CommandResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};

// Runs a shell command and collects what it prints.
CommandResult RunCommand(const std::string& command);

// Quotes a path for the shell.
std::string ShellQuote(const std::string& text);

// Runs `qpdf --check` and returns its output when it reports errors or warnings, or "" when clean.
std::string QpdfProblems(const std::filesystem::path& pdf);

// Bytes of a whole file.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// The shared real-world image corpus (TOVRA_CORPUS_DIR, else ../shared/corpus), or an empty path
// when that folder is missing or empty.
std::filesystem::path CorpusDir();

// Sets (or, given nothing, removes) an environment variable for as long as it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value) const {
        value ? setenv(name_, value->c_str(), 1) : unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};

// Sets the process's time zone (TZ, a POSIX rule such as "JST-9") for as long as it lives.
class TimeZone {
public:
    explicit TimeZone(const char* rule);
    ~TimeZone();
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::string saved_;
    bool wasSet_ = false;
};

}  // namespace tovra::test

// Asserts that a PDF file passes `qpdf --check` without errors or warnings.
#define EXPECT_QPDF_CLEAN(path) EXPECT_EQ(::tovra::test::QpdfProblems(path), "") << "qpdf --check " << (path)
