#pragma once
// The kind of picture a file holds, decided from its file name's extension alone.
#include <cstdint>
#include <string>
#include <string_view>

namespace tovra {

enum TImageKind : std::uint8_t { ikBMP = 0, ikGIF = 1, ikJPEG = 2, ikNone = 3 };

// ".BMP" -> ikBMP, ".GIF" -> ikGIF, ".JPEG" or ".JPG" -> ikJPEG, compared after turning ASCII
// letters to upper case; anything else, the empty extension included, is ikNone.
TImageKind ImageKindOf(std::string_view extension);

// The text from the last "." of the path's file-name part onward, or "" when it has none.
std::string FileExtension(std::string_view path);

// The file-name part of a path: the text after its last "/".
std::string FileNamePart(std::string_view path);

// ImageKindOf the path's extension.
inline TImageKind ImageKindOfFile(std::string_view path) { return ImageKindOf(FileExtension(path)); }

}  // namespace tovra
