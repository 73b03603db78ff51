#pragma once
// Writes a file so that readers see either the old file or the whole new one: the bytes go
// into a temporary file in the same folder, which gets the target's name only when complete.
#include <functional>
#include <string>

#include "pdf/PdfStreams.h"

namespace tovra {

struct TWriteOptions {
    // When false, a file that appears at the path while the bytes are written is not
    // replaced: the write fails and the temporary file is removed.
    bool ReplaceExisting = true;
    // Called when the bytes are complete, just before the target is replaced (or, for an
    // output that is written directly, before its first byte). It may throw to give up the
    // write; nothing is left behind then.
    std::function<void()> BeforeCommit;
};

// Calls write with a stream on a temporary file beside path, then puts it in place. The file
// has no name while it is written (O_TMPFILE) where the file system allows it, so that even a
// killed process leaves nothing behind; elsewhere it is a hidden named file. On any failure the
// temporary file is removed, an existing file at path is left as it was, and the failure is
// passed on, naming path. A folder or file that cannot be written fails with
// "Cannot create file <path>: <reason>".
//
// A symbolic link at path is followed: its target is replaced and the link stays. A pipe,
// device or socket at path, and "-" for standard output, are written directly, without a
// temporary file; a write error there is thrown. The temporary file's data is forced to the
// disk before it gets its name, and the folder's new entry after it.
void WriteFileAtomically(const std::string& path, const std::function<void(TStream&)>& write,
                         const TWriteOptions& options = {});

}  // namespace tovra
