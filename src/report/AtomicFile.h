#pragma once
// Writes a file so that readers see either the old file or the whole new one: the bytes go
// into a temporary file in the same folder, which replaces the target only when complete.
#include <functional>
#include <string>

#include "pdf/PdfStreams.h"

namespace tovra {

// Calls write with a stream on a temporary file beside path, then renames it over path.
// On any failure the temporary file is removed, an existing file at path is left as it was,
// and the failure is passed on. A folder or file that cannot be written fails with
// "Cannot create file <path>".
void WriteFileAtomically(const std::string& path, const std::function<void(TStream&)>& write);

}  // namespace tovra
