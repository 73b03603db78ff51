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

// Moves the finished temporary file to target. Unless replaceExisting, a file that exists at
// target by now is left alone and the move fails with a message naming shownPath.
void CommitTemporaryFile(const std::string& temporary, const std::string& target, const std::string& shownPath,
                         bool replaceExisting);

// Forces the file's data to the disk; a failure is thrown naming shownPath.
void SyncFileData(const std::string& path, const std::string& shownPath);
// Forces the folder's entries (a new name) to the disk, as far as the file system allows.
void SyncFolderOf(const std::string& path);

}  // namespace tovra
