// The built program on a real X server: it starts, shows its window titled "Tovra PDF", and
// when the window is closed as a window manager closes it, it writes its INI file beside the
// executable and ends. Skipped where Xvfb or xdotool is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include <QProcess>
#include <QStandardPaths>

#include "TestSupport.h"

// Last: Xlib defines macros (Bool, Status) that Qt's headers must not see.
#include <X11/Xlib.h>

namespace tovra::test {
namespace {

// An X server of its own on a free display, stopped with the test.
class TXvfb {
public:
    TXvfb() {
        server_.setProgram(QStandardPaths::findExecutable("Xvfb"));
        server_.setArguments({"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        server_.start();
        if (!server_.waitForStarted(5000)) return;
        // The server prints its display number once it accepts clients.
        for (int waited = 0; waited < 100 && !server_.canReadLine(); ++waited) server_.waitForReadyRead(100);
        const QByteArray number = server_.readLine().trimmed();
        if (!number.isEmpty()) display_ = ":" + number.toStdString();
    }
    ~TXvfb() {
        server_.terminate();
        if (!server_.waitForFinished(3000)) server_.kill();
        server_.waitForFinished(1000);
    }
    const std::string& Display() const { return display_; }

private:
    QProcess server_;
    std::string display_;
};

// The window ids of windows whose title is exactly `title`.
QStringList WindowsTitled(const std::string& display, const QString& title) {
    QProcess search;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(display));
    search.setProcessEnvironment(env);
    search.start("xdotool", {"search", "--name", "^" + title + "$"});
    search.waitForFinished(5000);
    return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// What a window manager sends when the user closes a window.
bool SendDeleteWindow(const std::string& display, unsigned long window) {
    ::Display* connection = XOpenDisplay(display.c_str());
    if (!connection) return false;
    // A window that is already gone must not end the test process (Xlib's default handler exits).
    XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(connection, window, False, NoEventMask, &event) != 0;
    XFlush(connection);
    XCloseDisplay(connection);
    return sent;
}

// The side of the first icon in a window's _NET_WM_ICON (width, height, pixels ...), 0 for none.
unsigned long FirstIconWidth(const std::string& display, unsigned long window) {
    ::Display* connection = XOpenDisplay(display.c_str());
    if (!connection) return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    unsigned long width = 0;
    if (XGetWindowProperty(connection, window, XInternAtom(connection, "_NET_WM_ICON", False), 0, 2, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 32 && count == 2)
        width = reinterpret_cast<unsigned long*>(data)[0];  // format 32 comes as longs
    if (data) XFree(data);
    XCloseDisplay(connection);
    return width;
}

TEST(RealDisplay, TheProgramShowsItsWindowAndWritesItsIniFileWhenClosed) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    TXvfb server;
    ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";

    // A copy of the program in a folder of its own, so its INI file is written there.
    TempDir dir;
    const auto program = dir / "tovrapdf";
    std::filesystem::copy_file(TOVRA_APP_BINARY, program);
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(server.Display()));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("WAYLAND_DISPLAY");
    app.setProcessEnvironment(env);
    app.start(QString::fromStdString(program.string()), {});
    ASSERT_TRUE(app.waitForStarted(5000));

    // A busy machine may take a while to start a Qt program.
    QStringList windows;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (windows.isEmpty() && std::chrono::steady_clock::now() < deadline &&
           app.state() == QProcess::Running) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        windows = WindowsTitled(server.Display(), "Tovra PDF");
    }
    if (windows.isEmpty()) {
        QProcess tree;
        QProcessEnvironment treeEnv = QProcessEnvironment::systemEnvironment();
        treeEnv.insert("DISPLAY", QString::fromStdString(server.Display()));
        tree.setProcessEnvironment(treeEnv);
        tree.start("xwininfo", {"-root", "-tree"});
        tree.waitForFinished(5000);
        app.kill();
        app.waitForFinished(3000);
        FAIL() << "no window titled \"Tovra PDF\" on " << server.Display() << "\n"
               << tree.readAllStandardOutput().toStdString() << app.readAllStandardError().toStdString();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "tovrapdf.ini"));
    // The window manager's icon for it (task bar, window switcher).
    unsigned long iconWidth = 0;
    for (const QString& window : windows) iconWidth = std::max(iconWidth, FirstIconWidth(server.Display(), window.toULong()));
    EXPECT_GT(iconWidth, 0u);

    // Closed as a window manager closes it; asked again while the program is still busy starting.
    bool ended = false;
    for (int tries = 0; tries < 20 && !ended; ++tries) {
        for (const QString& window : windows) SendDeleteWindow(server.Display(), window.toULong());
        ended = app.waitForFinished(1000);
    }
    if (!ended) app.kill();
    ASSERT_TRUE(ended) << app.readAllStandardError().toStdString();
    EXPECT_EQ(app.exitCode(), 0) << app.readAllStandardError().toStdString();

    const std::string ini = ReadFileBytes(dir / "tovrapdf.ini");
    EXPECT_EQ(ini.rfind("[AppDefaults]\nAutoOpenPDF=1\n", 0), 0u) << ini;
    EXPECT_NE(ini.find("DefaultSaveDir=" + dir.Path().string() + "/\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[PDFDefaults]\nSizeMethod=1\n"), std::string::npos) << ini;
}

}  // namespace
}  // namespace tovra::test
