// The general utilities: PosText, the temporary folder, OpenDocument's routing, the screen depth,
// and the INI location rule.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include <filesystem>
#include <utility>
#include <unistd.h>
#include <vector>

#include "TestSupport.h"
#include "components/Other/Utils.h"

namespace tovra {
namespace {

namespace fs = std::filesystem;

TEST(PosText, FindsWithoutCase) {
    EXPECT_EQ(PosText("page", "Home PAGE here"), 6);
    EXPECT_EQ(PosText("PAGE", "Home page here"), 6);
    EXPECT_EQ(PosText("x", "Home page"), 0);
    EXPECT_EQ(PosText("", "Home page"), 0);
    EXPECT_EQ(PosText("home", "home"), 1);
    // Positions count bytes, also after multi-byte characters; their case folds too.
    EXPECT_EQ(PosText("DÉ", "café dé"), 7);
}

TEST(GetTempDir, EndsWithSlash) {
    const std::string dir = GetTempDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(fs::is_directory(dir));
}

// Records what OpenDocument would start instead of starting it.
class LaunchRecorder {
public:
    LaunchRecorder() : saved_(std::exchange(ProgramLauncher(), Record())) {}
    ~LaunchRecorder() { ProgramLauncher() = saved_; }
    LaunchRecorder(const LaunchRecorder&) = delete;
    LaunchRecorder& operator=(const LaunchRecorder&) = delete;

    std::vector<std::pair<std::string, std::vector<std::string>>> calls;

private:
    TProgramLauncher Record() {
        return [this](const std::string& program, const std::vector<std::string>& args) {
            calls.emplace_back(program, args);
            return true;
        };
    }
    TProgramLauncher saved_;
};

TEST(OpenDocument, TargetWithoutColonOpensNothing) {
    LaunchRecorder launches;
    EXPECT_EQ(OpenDocument(""), 2);
    EXPECT_EQ(OpenDocument("readme.txt"), 2);
    EXPECT_EQ(OpenDocument("/tmp/some file.pdf", "--page 2"), 2);
    EXPECT_TRUE(launches.calls.empty());
}

TEST(OpenDocument, FileTargetGoesToTheDesktop) {
    LaunchRecorder launches;
    const std::string target = LocalFileTarget("/tmp/my file.pdf");
    EXPECT_EQ(target, "file:///tmp/my%20file.pdf");
    EXPECT_GT(OpenDocument(target), 32);
    ASSERT_EQ(launches.calls.size(), 1u);
    EXPECT_EQ(launches.calls[0].first, "xdg-open");
    EXPECT_EQ(launches.calls[0].second, std::vector<std::string>{target});
}

TEST(OpenDocument, FailedStartIsReported) {
    TProgramLauncher saved = std::exchange(ProgramLauncher(), [](const std::string&, const std::vector<std::string>&) {
        return false;
    });
    EXPECT_LE(OpenDocument("https://example.org/"), 32);
    ProgramLauncher() = saved;
}

TEST(FindAssociatedProgram, MissingFileIsCreatedOrNothingFound) {
    test::TempDir dir;
    EXPECT_EQ(FindAssociatedProgram("x.htm", (dir / "absent").string()), "");
    // Whatever the desktop says, the file now exists (an empty one), as the browser lookup needs.
    FindAssociatedProgram("temp.htm", dir.Path().string());
    EXPECT_TRUE(fs::exists(dir / "temp.htm"));
}

// A desktop of our own: an xdg-mime stand-in first on PATH that gives every file the type
// text/html and names a desktop entry in the private data folder for it.
class FakeDesktop {
public:
    explicit FakeDesktop(const std::string& exec) {
        fs::create_directories(dir_ / "bin");
        fs::create_directories(dir_ / "data" / "applications");
        fs::create_directories(dir_ / "browser dir");
        test::WriteFileBytes(dir_ / "bin" / "xdg-mime",
                             "#!/bin/sh\n"
                             "if [ \"$2\" = filetype ]; then echo text/html; exit 0; fi\n"
                             "if [ \"$2\" = default ] && [ \"$3\" = text/html ]; then echo fakebrowser.desktop; fi\n");
        fs::permissions(dir_ / "bin" / "xdg-mime", fs::perms::owner_all);
        test::WriteFileBytes(dir_ / "browser dir" / "browse", "#!/bin/sh\n");
        fs::permissions(dir_ / "browser dir" / "browse", fs::perms::owner_all);
        test::WriteFileBytes(dir_ / "data" / "applications" / "fakebrowser.desktop",
                             "[Desktop Action New]\nExec=/bin/false\n"
                             "[Desktop Entry]\nName=Fake\nExecutable=no\nExec=" + exec + "\n");
        savedPath_ = qgetenv("PATH");
        savedData_ = qgetenv("XDG_DATA_HOME");
        qputenv("PATH", QByteArray::fromStdString((dir_ / "bin").string() + ":") + savedPath_);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((dir_ / "data").string()));
    }
    ~FakeDesktop() {
        qputenv("PATH", savedPath_);
        if (savedData_.isNull()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", savedData_);
    }
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;
    const test::TempDir& Dir() const { return dir_; }

private:
    test::TempDir dir_;
    QByteArray savedPath_;
    QByteArray savedData_;
};

TEST(FindAssociatedProgram, ProgramOfTheDesktopEntry) {
    test::TempDir files;
    {
        FakeDesktop desktop("/nowhere/browser %u");
        EXPECT_EQ(FindAssociatedProgram("page.htm", files.Path().string()), "");
    }
    {
        // A bare name is looked up on PATH.
        FakeDesktop desktop("xdg-mime --flag");
        EXPECT_EQ(FindAssociatedProgram("page.htm", files.Path().string()),
                  (desktop.Dir() / "bin" / "xdg-mime").string());
    }
}

TEST(OpenDocument, HttpGoesToTheHtmlProgram) {
    FakeDesktop desktop("placeholder");
    const std::string browser = (desktop.Dir() / "browser dir" / "browse").string();
    test::WriteFileBytes(desktop.Dir() / "data" / "applications" / "fakebrowser.desktop",
                         "[Desktop Entry]\nExec=\"" + browser + "\" --new-window %u\n");
    test::TempDir files;
    EXPECT_EQ(FindAssociatedProgram("page.htm", files.Path().string()), browser);

    LaunchRecorder launches;
    EXPECT_GT(OpenDocument("HTTP://example.org/tovra"), 32);
    ASSERT_EQ(launches.calls.size(), 1u);
    EXPECT_EQ(launches.calls[0].first, browser);
    EXPECT_EQ(launches.calls[0].second, std::vector<std::string>{"HTTP://example.org/tovra"});
    EXPECT_TRUE(fs::exists(GetTempDir() + "temp.htm"));

    // A local file with parameters goes to its own program with them.
    test::WriteFileBytes(files / "doc.htm", "");
    EXPECT_GT(OpenDocument(LocalFileTarget((files / "doc.htm").string()), "--page \"2 3\""), 32);
    ASSERT_EQ(launches.calls.size(), 2u);
    EXPECT_EQ(launches.calls[1].first, browser);
    EXPECT_EQ(launches.calls[1].second,
              (std::vector<std::string>{(files / "doc.htm").string(), "--page", "2 3"}));
}

TEST(DisplayColorDepth, ReportsTheScreen) {
    const int depth = DisplayColorDepth();
    EXPECT_GE(depth, 1);
    EXPECT_LE(depth, 64);
}

// The INI file and the default save folder go beside the executable when it may write there.
TEST(IniLocation, BesideAWritableExecutable) {
    test::TempDir dir;
    const std::string exe = (dir / "tovrapdf").string();
    EXPECT_EQ(IniFileForExecutable(exe), (dir / "tovrapdf.ini").string());
    EXPECT_EQ(DefaultSaveDirForExecutable(exe), dir.Path().string() + "/");
    EXPECT_EQ(IniFileForExecutable((dir / "tool.bin").string()), (dir / "tool.ini").string());
}

TEST(IniLocation, ConfigFolderWhenNotWritable) {
    test::TempDir dir;
    const std::string exe = (dir / "tovrapdf").string();
    const auto readOnly = [](const std::string&) { return false; };
    const std::string config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
    EXPECT_EQ(IniFileForExecutable(exe, readOnly), config + "/tovrapdf/tovrapdf.ini");
    const std::string docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    EXPECT_EQ(DefaultSaveDirForExecutable(exe, readOnly), docs + "/");

    // An INI file already beside the executable is kept there, writable or not.
    test::WriteFileBytes(dir / "tovrapdf.ini", "");
    EXPECT_EQ(IniFileForExecutable(exe, readOnly), (dir / "tovrapdf.ini").string());
    EXPECT_EQ(DefaultSaveDirForExecutable(exe, readOnly), dir.Path().string() + "/");
}

TEST(IniLocation, FollowsXdgConfigHome) {
    test::TempDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "cfg").string()));
    const std::string ini = IniFileForExecutable("/usr/bin/tovrapdf", [](const std::string&) { return false; });
    if (saved.isNull()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(ini, (dir / "cfg" / "tovrapdf" / "tovrapdf.ini").string());
}

TEST(IniLocation, RealFolderPermissions) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    test::TempDir dir;
    fs::create_directory(dir / "bin");
    fs::permissions(dir / "bin", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(IniBesideExecutable((dir / "bin" / "tovrapdf").string()));
    fs::permissions(dir / "bin", fs::perms::owner_all);
    EXPECT_TRUE(IniBesideExecutable((dir / "bin" / "tovrapdf").string()));
}

}  // namespace
}  // namespace tovra
