// Where the atomic write puts its bytes: through symbolic links, straight into pipes and
// devices, never over a file that appeared meanwhile unless asked to, and nothing left behind
// when the write is given up.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "TestSupport.h"
#include "common/Exceptions.h"
#include "report/AtomicFile.h"
#include "report/DescriptorStream.h"
#include "report/OutputTarget.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Write(const fs::path& path, const std::string& bytes, const TWriteOptions& options = {}) {
    WriteFileAtomically(path.string(), [&](TStream& stream) { stream.Write(bytes); }, options);
}

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no failure";
}

TEST(OutputTarget, ALinkStaysALinkAndItsTargetIsReplaced) {
    test::TempDir dir;
    fs::create_directory(dir / "real");
    test::WriteFileBytes(dir / "real" / "a.pdf", "old");
    fs::create_symlink("real/a.pdf", dir / "relative.pdf");
    fs::create_symlink(dir / "relative.pdf", dir / "chain.pdf");  // a link to a link

    Write(dir / "chain.pdf", "new");
    EXPECT_TRUE(fs::is_symlink(dir / "chain.pdf"));
    EXPECT_TRUE(fs::is_symlink(dir / "relative.pdf"));
    EXPECT_EQ(test::ReadFileBytes(dir / "real" / "a.pdf"), "new");
    // The temporary file was made beside the target and is gone.
    EXPECT_EQ(Names(dir / "real"), std::vector<std::string>{"a.pdf"});
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"chain.pdf", "real", "relative.pdf"}));

    // A link to a file not made yet creates that file.
    fs::create_symlink("real/b.pdf", dir / "dangling.pdf");
    Write(dir / "dangling.pdf", "made");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.pdf"));
    EXPECT_EQ(test::ReadFileBytes(dir / "real" / "b.pdf"), "made");

    fs::create_symlink("loop2.pdf", dir / "loop1.pdf");
    fs::create_symlink("loop1.pdf", dir / "loop2.pdf");
    EXPECT_EQ(FailureOf([&] { Write(dir / "loop1.pdf", "x"); }).rfind("Cannot create file " + (dir / "loop1.pdf").string(), 0),
              0u);
}

TEST(OutputTarget, AHardLinkedOutputGetsANewFileTheOtherNameKeepsTheOld) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "a.pdf", "old");
    fs::create_hard_link(dir / "a.pdf", dir / "b.pdf");
    Write(dir / "a.pdf", "new");
    EXPECT_EQ(test::ReadFileBytes(dir / "a.pdf"), "new");
    EXPECT_EQ(test::ReadFileBytes(dir / "b.pdf"), "old");
    EXPECT_EQ(fs::hard_link_count(dir / "a.pdf"), 1u);
}

TEST(OutputTarget, APipeIsWrittenDirectlyAndStaysAPipe) {
    test::TempDir dir;
    const fs::path fifo = dir / "out.pdf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = test::ReadFileBytes(fifo); });
    const std::string bytes(300000, 'p');  // more than a pipe holds at once
    Write(fifo, bytes);
    reader.join();
    EXPECT_EQ(received, bytes);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.pdf"});
}

TEST(OutputTarget, AFullDeviceFailsTheWriteAndStaysADevice) {
    // Checked first, so a fault here can never turn the device into a file.
    ASSERT_TRUE(IsSpecialOutput("/dev/full"));
    EXPECT_EQ(FailureOf([] { Write("/dev/full", std::string(100000, 'x')); }),
              "Error writing to /dev/full: No space left on device");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_FALSE(IsSpecialOutput("/tmp"));
}

TEST(OutputTarget, AFileThatAppearsMeanwhileIsKeptUnlessReplacingIsAllowed) {
    test::TempDir dir;
    const fs::path target = dir / "out.pdf";
    const auto appearing = [&](TStream& stream) {
        test::WriteFileBytes(target, "someone else's");
        stream.Write(std::string_view("mine"));
    };
    TWriteOptions keep;
    keep.ReplaceExisting = false;
    EXPECT_EQ(FailureOf([&] { WriteFileAtomically(target.string(), appearing, keep); }),
              "Cannot create file " + target.string() +
                  ": a file of that name appeared while the PDF was being made; it was left as it is");
    EXPECT_EQ(test::ReadFileBytes(target), "someone else's");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.pdf"});

    fs::remove(target);
    Write(target, "fresh", keep);  // nothing there: written as usual
    EXPECT_EQ(test::ReadFileBytes(target), "fresh");

    fs::remove(target);
    WriteFileAtomically(target.string(), appearing);
    EXPECT_EQ(test::ReadFileBytes(target), "mine");
}

TEST(OutputTarget, GivingUpBeforeTheCommitLeavesNothingBehind) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "out.pdf", "previous");
    TWriteOptions options;
    int asked = 0;
    options.BeforeCommit = [&] {
        ++asked;
        throw Exception("given up");
    };
    EXPECT_EQ(FailureOf([&] { Write(dir / "out.pdf", "new", options); }), "given up");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "previous");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.pdf"});
}

// A process killed while writing (SIGKILL, a power cut) must leave no half-written file under
// any name: the folder shows only what was there until the whole file is on the disk.
TEST(OutputTarget, TheNewFileHasNoNameUntilItIsComplete) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "old.pdf", "previous");
    for (const bool replace : {false, true}) {
        const fs::path target = dir / (replace ? "old.pdf" : "new.pdf");
        TWriteOptions options;
        options.ReplaceExisting = replace;
        const std::vector<std::string> before = Names(dir.Path());
        std::vector<std::string> seenWhileWriting;
        WriteFileAtomically(target.string(), [&](TStream& stream) {
            stream.Write(std::string(100000, 'x'));
            seenWhileWriting = Names(dir.Path());
        }, options);
        EXPECT_EQ(seenWhileWriting, before) << replace;
        EXPECT_EQ(test::ReadFileBytes(target), std::string(100000, 'x'));
    }
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"new.pdf", "old.pdf"}));
}

// Image data waits beside the output, but not beside "-" or a device: their folder is the
// current one or /dev, which may not take it.
TEST(OutputTarget, ScratchDataGoesBesideFilesOnly) {
    EXPECT_EQ(ScratchFolderFor("-"), "");
    EXPECT_EQ(ScratchFolderFor("/dev/null"), "");
    EXPECT_EQ(ScratchFolderFor("out.pdf"), ".");
    EXPECT_EQ(ScratchFolderFor("/some/folder/out.pdf"), "/some/folder");
}

TEST(OutputTarget, ADescriptorStreamCountsWhatItWritesAndNeverGoesBack) {
    test::TempDir dir;
    const fs::path path = dir / "s.bin";
    TDescriptorStream stream(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), path.string(), true);
    stream.SetPosition(0);
    stream.Write(std::string_view("abc"));
    stream.Write(std::string(70000, 'z'));  // larger than the buffer
    stream.Write(std::string_view("end"));
    EXPECT_EQ(stream.Position(), 70006);
    EXPECT_EQ(FailureOf([&] { stream.SetPosition(1); }),
              "Error seeking in " + path.string() + ": the output can only be written front to back");
    stream.Close();
    EXPECT_EQ(test::ReadFileBytes(path), "abc" + std::string(70000, 'z') + "end");
}

}  // namespace
}  // namespace tovra
