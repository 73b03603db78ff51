#pragma once
// Where the program keeps its INI file and where its save dialog starts by default.
//
// The INI file is named like the executable with ".ini" (tovrapdf -> tovrapdf.ini). It lives
// beside the executable when that file already exists or the executable's folder is writable (a
// build tree, a portable copy). Otherwise, as installed programs do, it lives in
// $XDG_CONFIG_HOME/tovrapdf/ (default ~/.config/tovrapdf/).
//
// The default save folder follows the same rule: the executable's folder with a trailing "/" in
// the first case, the user's documents folder with a trailing "/" in the second.
#include <functional>
#include <string>

namespace tovra {

// Whether files can be created in a folder. Replaceable in tests (a test running as root can
// write anywhere).
using TFolderWritable = std::function<bool(const std::string& folder)>;
bool FolderIsWritable(const std::string& folder);

// True when the INI file belongs beside the executable.
bool IniBesideExecutable(const std::string& exePath, const TFolderWritable& writable = FolderIsWritable);

std::string IniFileForExecutable(const std::string& exePath, const TFolderWritable& writable = FolderIsWritable);
std::string DefaultSaveDirForExecutable(const std::string& exePath,
                                        const TFolderWritable& writable = FolderIsWritable);

}  // namespace tovra
