#include "components/Other/Utils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <fstream>

namespace tovra {

namespace {

// What a helper program prints on its first line, or "" when it cannot be run or fails.
std::string FirstOutputLine(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return {};
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return {};
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    return out.section('\n', 0, 0).trimmed().toStdString();
}

// The Exec line of a desktop entry's main group, or "".
QString DesktopEntryExec(const QString& entryPath) {
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
        } else if (inMainGroup && line.startsWith(QLatin1String("Exec"))) {
            const QString key = line.section('=', 0, 0).trimmed();
            if (key == QLatin1String("Exec")) return line.section('=', 1).trimmed();
        }
    }
    return {};
}

// The program of an Exec line: its first word (quotes removed) as a full path.
std::string ExecProgram(const QString& exec) {
    const QStringList words = QProcess::splitCommand(exec);
    if (words.isEmpty()) return {};
    const QString program = words.first();
    if (program.contains('/')) return QFileInfo(program).isExecutable() ? program.toStdString() : std::string{};
    return QStandardPaths::findExecutable(program).toStdString();
}

bool LaunchDetached(const std::string& program, const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), args);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return QString::fromStdString(text).startsWith(QString::fromStdString(prefix), Qt::CaseInsensitive);
}

int Launch(const std::string& program, const std::vector<std::string>& arguments) {
    const TProgramLauncher& launch = ProgramLauncher();
    return launch && launch(program, arguments) ? OpenDocumentSucceeded : OpenDocumentFileNotFound;
}

}  // namespace

int PosText(const std::string& sub, const std::string& text) {
    if (sub.empty()) return 0;
    const QString haystack = QString::fromStdString(text);
    const qsizetype index = haystack.indexOf(QString::fromStdString(sub), 0, Qt::CaseInsensitive);
    if (index < 0) return 0;
    return static_cast<int>(haystack.left(index).toUtf8().size()) + 1;
}

std::string GetTempDir() {
    std::string dir = QDir::tempPath().toStdString();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string FindAssociatedProgram(const std::string& file, const std::string& directory) {
    QString path = QString::fromStdString(file);
    if (!directory.empty() && QFileInfo(path).isRelative()) path = QDir(QString::fromStdString(directory)).filePath(path);
    if (!QFileInfo::exists(path)) {
        std::ofstream created(path.toStdString(), std::ios::binary);
        if (!created) return {};
    }
    const std::string mimeType = FirstOutputLine("xdg-mime", {"query", "filetype", path});
    if (mimeType.empty()) return {};
    const std::string desktopId = FirstOutputLine("xdg-mime", {"query", "default", QString::fromStdString(mimeType)});
    if (desktopId.empty()) return {};
    const QString entry =
        QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString::fromStdString(desktopId));
    if (entry.isEmpty()) return {};
    return ExecProgram(DesktopEntryExec(entry));
}

TProgramLauncher& ProgramLauncher() {
    static TProgramLauncher launcher = LaunchDetached;
    return launcher;
}

std::string LocalFileTarget(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded).toStdString();
}

int OpenDocument(const std::string& target, const std::string& parameters) {
    if (target.empty() || target.find(':') == std::string::npos) return OpenDocumentFileNotFound;

    if (StartsWithNoCase(target, "http://")) {
        const std::string browser = FindAssociatedProgram(GetTempDir() + "temp.htm");
        if (!browser.empty()) return Launch(browser, {target});
    }

    // A local file with parameters goes to its own program, which takes them after the file.
    const QUrl url(QString::fromStdString(target));
    if (url.isLocalFile() && !parameters.empty()) {
        const std::string localPath = url.toLocalFile().toStdString();
        const std::string program = FindAssociatedProgram(localPath);
        if (program.empty()) return OpenDocumentNoAssociation;
        std::vector<std::string> arguments{localPath};
        for (const QString& p : QProcess::splitCommand(QString::fromStdString(parameters)))
            arguments.push_back(p.toStdString());
        return Launch(program, arguments);
    }

    // xdg-open applies the desktop's own association (sandboxed programs included).
    return Launch("xdg-open", {target});
}

int DisplayColorDepth() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return 24;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

}  // namespace tovra
