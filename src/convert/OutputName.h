#pragma once
// The name the save dialog proposes for a new PDF.
#include <string>
#include <string_view>

namespace tovra {

// The file-name part of the first file chosen in the last Load Images dialog, its extension
// (from its last ".") replaced by ".pdf", or ".pdf" appended when it has none. An empty name
// gives ".pdf".
std::string ProposedPdfName(std::string_view loadedFileName);

}  // namespace tovra
