#include "convert/ImageKinds.h"

namespace tovra {

namespace {
std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}
}  // namespace

TImageKind ImageKindOf(std::string_view extension) {
    const std::string upper = AsciiUpper(extension);
    if (upper == ".BMP") return ikBMP;
    if (upper == ".GIF") return ikGIF;
    if (upper == ".JPEG" || upper == ".JPG") return ikJPEG;
    return ikNone;
}

std::string FileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FileExtension(std::string_view path) {
    const std::string name = FileNamePart(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace tovra
