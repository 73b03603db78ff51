#pragma once
// What the atomic write needs to know about the place it writes to: where a symbolic link
// really points, whether the target is a file that can be replaced at all, how to put the
// finished temporary file in place without replacing a file that appeared meanwhile, and
// how to make both the data and the new name survive a crash.
#include <string>

namespace tovra {

// The output name that means standard output.
inline constexpr const char* kStandardOutputName = "-";

// The file a chain of symbolic links at path leads to (relative links are taken from the
// folder of the link), or path itself when it is no link. The end of the chain need not
// exist. A loop of links fails with "Cannot create file <path>: ...".
std::string ResolveOutputLinks(const std::string& path);

// True when something that is not a regular file or folder exists at path (following
// links): a pipe, a device, a socket. Such an output is written directly, never replaced.
bool IsSpecialOutput(const std::string& path);

// The folder a file at path goes in ("." for a bare name).
std::string FolderOfOutput(const std::string& path);

// Where image data waits for the save: the output's folder, on the disk that will hold the file
// anyway; "" (meaning $TMPDIR, else /tmp) for standard output, a pipe or a device, whose folder
// has nothing to do with where the bytes go.
std::string ScratchFolderFor(const std::string& output);

// Moves the finished temporary file to target. Unless replaceExisting, a file that exists at
// target by now is left alone and the move fails with a message naming shownPath.
void CommitTemporaryFile(const std::string& temporary, const std::string& target, const std::string& shownPath,
                         bool replaceExisting);

// Opens a new file without a name in folder (O_TMPFILE), for writing: if the process dies
// before the file is linked, nothing is left behind. Returns -1 where the kernel or the file
// system cannot make one, so that the caller falls back to a named temporary file; any other
// failure is thrown as "Cannot create file <shownPath>: <reason>".
int OpenUnnamedFile(const std::string& folder, const std::string& shownPath);

// Gives the finished unnamed file open as fd the name target. Unless replaceExisting, the link
// itself refuses a name that exists by now, which is left alone, as CommitTemporaryFile does;
// with it, the file is linked under a fresh hidden name beside target and renamed over it.
void LinkUnnamedFile(int fd, const std::string& target, const std::string& shownPath, bool replaceExisting);

// Forces the folder's entries (a new name) to the disk, as far as the file system allows.
void SyncFolderOf(const std::string& path);

}  // namespace tovra
