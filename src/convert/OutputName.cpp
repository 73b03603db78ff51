#include "convert/OutputName.h"

#include "convert/ImageKinds.h"

namespace tovra {

std::string ProposedPdfName(std::string_view loadedFileName) {
    std::string name = FileNamePart(loadedFileName);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + ".pdf";
}

}  // namespace tovra
