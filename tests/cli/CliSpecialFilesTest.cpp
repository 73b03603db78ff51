// tovrapdf-cli with outputs and inputs that are not plain files, and stopped by signals or
// limits: standard output (also closed), pipes, a full device, symbolic links, a file-size
// limit, and SIGINT/SIGTERM/SIGHUP/SIGKILL in the middle of a batch leaving the old output and
// no temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "PdfReadBack.h"
#include "TestSupport.h"
#include "cli/SampleImages.h"
#include "report/OutputTarget.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

class CliSpecialFiles : public ::testing::Test {
protected:
    CliSpecialFiles() { samples::SaveBmp(samples::Solid(40, 30, 0xffff0000), Path("b.bmp")); }

    // Runs the tool in a shell; what it writes to stderr (and stdout unless args redirect it).
    test::CommandResult Cli(const std::string& args, const std::string& environment = "") {
        return test::RunCommand("(" + environment + " " + test::ShellQuote(TOVRAPDF_CLI) + " " + args + ")");
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Quoted(const std::string& name) const { return test::ShellQuote(Path(name)); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
};

TEST_F(CliSpecialFiles, DashWritesThePdfToStandardOutputWhateverItIs) {
    const std::string fixed = "SOURCE_DATE_EPOCH=1700000000";
    ASSERT_EQ(Cli("-o " + Quoted("file.pdf") + " " + Quoted("b.bmp"), fixed).exitCode, 0);
    const auto toFile = Cli("-o - " + Quoted("b.bmp") + " > " + Quoted("redirected.pdf"), fixed);
    ASSERT_EQ(toFile.exitCode, 0) << toFile.output;
    EXPECT_EQ(toFile.output, "");
    // A pipe cannot tell positions: the offsets of the file must still be right.
    const auto toPipe = Cli("-o - " + Quoted("b.bmp") + " | cat > " + Quoted("piped.pdf"), fixed);
    ASSERT_EQ(toPipe.exitCode, 0) << toPipe.output;

    const std::string expected = test::ReadFileBytes(dir / "file.pdf");
    EXPECT_EQ(test::ReadFileBytes(dir / "redirected.pdf"), expected);
    EXPECT_EQ(test::ReadFileBytes(dir / "piped.pdf"), expected);
    EXPECT_QPDF_CLEAN(dir / "piped.pdf");
}

// Nothing of ours may take the number of a closed standard descriptor: the PDF would go into
// whatever file got it. Fails as `cat >&-` does, and leaves nothing in the current folder.
TEST_F(CliSpecialFiles, AClosedStandardOutputFailsTheRun) {
    const auto run = test::RunCommand("(cd " + test::ShellQuote(dir.Path().string()) + " && " +
                                      test::ShellQuote(TOVRAPDF_CLI) + " -o - b.bmp >&- <&-)");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "tovrapdf-cli: Error writing to standard output: Bad file descriptor\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"b.bmp"});
}

// A file-size limit (or a quota) makes writes fail instead of killing the run: a message that
// names the output, the old file as it was, no temporary file.
TEST_F(CliSpecialFiles, AFileSizeLimitFailsTheWriteCleanly) {
    samples::SaveJpeg(samples::DrawSample(600, 400, 1), Path("photo.jpg"), 95);
    ASSERT_GT(fs::file_size(dir / "photo.jpg"), 20000u);
    test::WriteFileBytes(dir / "out.pdf", "previous");
    const auto run = test::RunCommand("prlimit --fsize=20000 " + test::ShellQuote(TOVRAPDF_CLI) + " -f -o " +
                                      Quoted("out.pdf") + " " + Quoted("photo.jpg"));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.output, "tovrapdf-cli: Error writing to " + Path("out.pdf") + ": File too large\n");
    EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "previous");
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.bmp", "out.pdf", "photo.jpg"}));
}

TEST_F(CliSpecialFiles, PipesAndDevicesAreWrittenNotReplaced) {
    ASSERT_EQ(mkfifo(Path("out.pdf").c_str(), 0600), 0);
    // No --force needed: a pipe is no file that could be lost.
    const auto piped = test::RunCommand("(cat " + Quoted("out.pdf") + " > " + Quoted("got.pdf") + " & " +
                                        test::ShellQuote(TOVRAPDF_CLI) + " -o " + Quoted("out.pdf") + " " +
                                        Quoted("b.bmp") + "; status=$?; wait; exit $status)");
    EXPECT_EQ(piped.exitCode, 0) << piped.output;
    EXPECT_TRUE(fs::is_fifo(dir / "out.pdf"));
    EXPECT_QPDF_CLEAN(dir / "got.pdf");

    // Checked first, so that a fault can never turn the device into a file.
    ASSERT_TRUE(IsSpecialOutput("/dev/full"));
    const auto full = Cli("-o /dev/full " + Quoted("b.bmp"));
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.output, "tovrapdf-cli: Error writing to /dev/full: No space left on device\n");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(Cli("-o /dev/null " + Quoted("b.bmp")).exitCode, 0);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(CliSpecialFiles, ALinkedOutputNeedsForceAndStaysALink) {
    fs::create_directory(dir / "real");
    test::WriteFileBytes(dir / "real" / "x.pdf", "old");
    fs::create_symlink("real/x.pdf", dir / "link.pdf");
    const auto refused = Cli("-o " + Quoted("link.pdf") + " " + Quoted("b.bmp"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("use --force"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(dir / "real" / "x.pdf"), "old");

    ASSERT_EQ(Cli("-f -o " + Quoted("link.pdf") + " " + Quoted("b.bmp")).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.pdf"));
    EXPECT_QPDF_CLEAN(dir / "real" / "x.pdf");
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.bmp", "link.pdf", "real"}));
}

TEST_F(CliSpecialFiles, APipeNamedLikeAPictureIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo(Path("x.gif").c_str(), 0600), 0);
    // timeout ends a run that waits on the pipe, which would otherwise hang the test.
    const auto run = test::RunCommand("timeout 20 " + test::ShellQuote(TOVRAPDF_CLI) + " -o " + Quoted("out.pdf") +
                                      " " + Quoted("b.bmp") + " " + Quoted("x.gif"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("\"" + Path("x.gif") + "\": it is a pipe (FIFO), not a regular file"), std::string::npos)
        << run.output;
    EXPECT_EQ(test::PageSizes(dir / "out.pdf").size(), 1u);  // the page before it is kept
}

// The system calls around putting the file in place, one per line, as strace records them.
std::vector<std::string> TracedCalls(const std::string& trace) {
    std::vector<std::string> calls;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        for (const char* call : {"fsync(", "linkat(", "rename(", "renameat2("})
            if (line.find(call) != std::string::npos) calls.push_back(call);
    }
    return calls;
}

TEST_F(CliSpecialFiles, TheFileGetsItsNameOnlyWhenItIsWholeOnTheDisk) {
    const fs::path trace = dir / "calls.txt";
    const std::string strace = "strace -f -e trace=fsync,linkat,rename,renameat2 -o " + test::ShellQuote(trace) + " ";
    const auto run = test::RunCommand(strace + test::ShellQuote(TOVRAPDF_CLI) + " -o " + Quoted("out.pdf") + " " +
                                      Quoted("b.bmp"));
    if (run.exitCode != 0 || !fs::exists(trace)) GTEST_SKIP() << "strace cannot trace here: " << run.output;
    // The data is on the disk before the file gets its name, the name after: without --force
    // the link itself refuses an existing name.
    EXPECT_EQ(TracedCalls(test::ReadFileBytes(trace)), (std::vector<std::string>{"fsync(", "linkat(", "fsync("}));
    EXPECT_QPDF_CLEAN(dir / "out.pdf");
    fs::remove(trace);

    // Killed (SIGKILL, as a power cut would stop it) with the whole file written: no trace of
    // it under any name, and the old file as it was.
    test::WriteFileBytes(dir / "out.pdf", "previous");
    test::RunCommand("strace -f -o /dev/null -e trace=fsync -e inject=fsync:signal=SIGKILL " +
                     test::ShellQuote(TOVRAPDF_CLI) + " -f -o " + Quoted("out.pdf") + " " + Quoted("b.bmp"));
    EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "previous");
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.bmp", "out.pdf"}));
}

// Starts the tool on a long batch with progress lines, sends the signal once two pages are
// done, and returns its exit status.
int StopMidRun(const std::vector<std::string>& args, int signal) {
    int errPipe[2];
    if (pipe(errPipe) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(errPipe[1], STDERR_FILENO);
        close(errPipe[0]);
        close(errPipe[1]);
        std::vector<char*> argv{const_cast<char*>(TOVRAPDF_CLI)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(TOVRAPDF_CLI, argv.data());
        _exit(127);
    }
    close(errPipe[1]);
    int lines = 0;
    bool sent = false;
    char c;
    while (read(errPipe[0], &c, 1) == 1) {
        if (c == '\n' && ++lines == 2 && !sent) sent = kill(child, signal) == 0;
    }
    close(errPipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(CliSpecialFiles, StopSignalsEndTheRunAndLeaveTheOldFile) {
    // Large enough that the run is far from done when the signal comes.
    samples::SaveBmp(samples::Solid(1200, 900, 0xff2080c0), Path("big.bmp"));
    test::WriteFileBytes(dir / "out.pdf", "previous");
    std::vector<std::string> args = {"--progress", "-f", "-o", Path("out.pdf")};
    for (int i = 0; i < 400; ++i) args.push_back(Path("big.bmp"));

    // SIGHUP: the terminal the run was started from went away.
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
        EXPECT_EQ(StopMidRun(args, signal), status) << signal;
        EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "previous");
        EXPECT_EQ(Names(), (std::vector<std::string>{"b.bmp", "big.bmp", "out.pdf"}));
    }
}

}  // namespace
}  // namespace tovra
