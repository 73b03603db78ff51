#pragma once
// The kind of picture a file holds, decided from its file name's extension alone (the kinds
// and their extensions are the table of imaging/ImageFormats.h).
#include <string>
#include <string_view>

#include "imaging/ImageFormats.h"

namespace tovra {

// The text from the last "." of the path's file-name part onward, or "" when it has none.
std::string FileExtension(std::string_view path);

// The file-name part of a path: the text after its last "/".
std::string FileNamePart(std::string_view path);

// ImageKindOf the path's extension.
inline TImageKind ImageKindOfFile(std::string_view path) { return ImageKindOf(FileExtension(path)); }

}  // namespace tovra
