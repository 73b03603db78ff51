#pragma once
// Free-standing operations the program's windows share: finding text without regard to case,
// the temporary folder, the program associated with a file, opening a file or an address with
// its program, and the display's colour depth. The INI helpers and the INI location rule live
// in their own headers and come with this one.
//
// Redrawing a window on and off needs a widget and is done in the program itself.
#include <functional>
#include <string>
#include <vector>

#include "components/Other/IniFile.h"
#include "components/Other/IniLocation.h"

namespace tovra {

// 1-based byte position of `sub` in `text`, compared without regard to case (UTF-8 aware);
// 0 when absent or when `sub` is empty.
int PosText(const std::string& sub, const std::string& text);

// The system's folder for temporary files, ending with "/".
std::string GetTempDir();

// The program the desktop opens `file` with (freedesktop: `xdg-mime query filetype` and
// `xdg-mime query default`, then the Exec program of that desktop entry), as a full path, or ""
// when there is none. A relative `file` is taken in `directory` when one is given. A missing
// file is created empty first; when that fails the result is "".
std::string FindAssociatedProgram(const std::string& file, const std::string& directory = {});

// Result codes of OpenDocument: above 32 means the program was started.
inline constexpr int OpenDocumentSucceeded = 33;
inline constexpr int OpenDocumentFileNotFound = 2;   // also: no ":" in the target
inline constexpr int OpenDocumentNoAssociation = 31;

// Opens `target` (an address such as "http://...", or a "file:" URL; LocalFileTarget makes one
// from a path) with the desktop's program for it. A target that is empty or holds no ":" opens
// nothing and gives 2. "http://" addresses go to the program associated with .htm files when
// there is one; everything else goes to the associated program of the local file or, failing
// that, to xdg-open. `parameters` (split at blanks, double quotes grouping) follow the file for
// its program.
int OpenDocument(const std::string& target, const std::string& parameters = {});

// "file://" URL for a local path, as OpenDocument wants it.
std::string LocalFileTarget(const std::string& path);

// Starts a program detached; true when it started. Tests replace it to see what would run.
using TProgramLauncher = std::function<bool(const std::string& program, const std::vector<std::string>& arguments)>;
TProgramLauncher& ProgramLauncher();

// Bits per pixel of the primary screen; 24 when there is no screen (no GUI application).
int DisplayColorDepth();

}  // namespace tovra
