#pragma once
// The command line of tovrapdf-cli: what it asks for, read from the arguments.
#include <string>
#include <vector>

#include "common/Exceptions.h"
#include "convert/CreationRun.h"
#include "convert/PDFImage.h"

namespace tovra::cli {

// A command line that cannot be followed; the message says why.
class EUsage : public Exception {
public:
    using Exception::Exception;
};

struct TCliOptions {
    std::string Output;
    bool Force = false;
    std::string Paper;  // empty: the system's paper (libpaper) when the list has it, else Letter
    bool Portrait = true;
    TSizeMethod Sizing = smFit;
    TMargins Margins{20, 20, 20, 20};
    std::string Title, Subject, Author, Keywords;
    bool AutoOrient = true;  // photos upright by their EXIF orientation (TIFF: orientation tag)
    bool LosslessDecoded = false;  // HEIF and AVIF photos as exact Flate pixels, not JPEG
    bool CompactBitmaps = false;  // smaller bitmap pictures, the same pixels
    bool ListPapers = false;
    bool Quiet = false;
    bool Progress = false;  // progress lines even when standard error is no terminal
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Images;  // in the order given
};

// Reads the arguments (without the program name). Options and images may be mixed; "--" ends
// the options. Long options take their value as "--name VALUE" or "--name=VALUE", short ones as
// "-x VALUE" or "-xVALUE"; flags may be grouped ("-fq"). Throws EUsage for an unknown option, a
// missing or bad value. Whether an output and images were given is checked by the caller, since
// --help, --version and --list-papers need neither.
TCliOptions ParseCommandLine(const std::vector<std::string>& args);

// "N" for all four margins or "TOP,BOTTOM,LEFT,RIGHT", whole non-negative numbers of points.
TMargins ParseMargins(const std::string& text);

std::string HelpText();
// "BMP, GIF, JPEG, PNG, TIFF, WebP or HEIF": the supported kinds, from the table of kinds.
std::string SupportedKindsText();
std::string VersionText();

}  // namespace tovra::cli
