#include "components/Other/IniLocation.h"

#include <QStandardPaths>
#include <QString>

#include <filesystem>
#include <unistd.h>

namespace tovra {

namespace fs = std::filesystem;

namespace {

fs::path IniBesideExe(const std::string& exePath) { return fs::path(exePath).replace_extension(".ini"); }

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

bool FolderIsWritable(const std::string& folder) { return access(folder.c_str(), W_OK | X_OK) == 0; }

bool IniBesideExecutable(const std::string& exePath, const TFolderWritable& writable) {
    std::error_code ignored;
    return fs::exists(IniBesideExe(exePath), ignored) || writable(fs::path(exePath).parent_path().string());
}

std::string IniFileForExecutable(const std::string& exePath, const TFolderWritable& writable) {
    const fs::path beside = IniBesideExe(exePath);
    if (IniBesideExecutable(exePath, writable)) return beside.string();
    const std::string config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
    return (fs::path(config) / "tovrapdf" / beside.filename()).string();
}

std::string DefaultSaveDirForExecutable(const std::string& exePath, const TFolderWritable& writable) {
    if (IniBesideExecutable(exePath, writable)) return WithSlash(fs::path(exePath).parent_path().string());
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
}

}  // namespace tovra
