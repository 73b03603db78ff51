// The program as started: --help and --version print and end it without a display, and its
// windows carry the program's icon in every size data/icons has.
#include <QProcess>

#include "MainWindowFixture.h"

namespace tovra::test {
namespace {

TEST(ProgramStart, HelpAndVersionPrintWithoutADisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(display);
    const struct {
        QStringList args;
        const char* starts;
    } cases[] = {
        {{"--help"}, "Usage: tovrapdf [FILE...]\n"},
        {{"a.jpg", "-h"}, "Usage: tovrapdf [FILE...]\n"},
        {{"--version", "--help"}, "Usage: tovrapdf [FILE...]\n"},
        {{"--version"}, "tovrapdf (Tovra PDF) 1.1\n"},
    };
    for (const auto& c : cases) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(TOVRA_APP_BINARY, c.args);
        ASSERT_TRUE(program.waitForFinished(30000));
        const std::string shown = c.args.join(' ').toStdString();
        EXPECT_EQ(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, 0) << shown;
        EXPECT_TRUE(program.readAllStandardOutput().startsWith(c.starts)) << shown;
        EXPECT_EQ(program.readAllStandardError(), "") << shown;
    }
}

using ProgramWindow = MainWindowTest;

TEST_F(ProgramWindow, CarriesTheProgramIcon) {
    const QList<QSize> sizes = MakeWindow().windowIcon().availableSizes();
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
}

}  // namespace
}  // namespace tovra::test
