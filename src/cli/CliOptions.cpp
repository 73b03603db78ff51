#include "cli/CliOptions.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "imaging/ImageFormats.h"

namespace tovra::cli {

namespace {

enum class TOption {
    Output, Force, Paper, Portrait, Landscape, Sizing, Margins, Title, Subject, Author, Keywords,
    NoAutoOrient, LosslessDecoded, Compact, ListPapers, Quiet, Progress, Help, Version
};

struct TOptionInfo {
    const char* longName;
    char shortName;  // 0: none
    bool takesValue;
    TOption option;
};

constexpr TOptionInfo kOptions[] = {
    {"output", 'o', true, TOption::Output},     {"force", 'f', false, TOption::Force},
    {"paper", 'p', true, TOption::Paper},       {"portrait", 0, false, TOption::Portrait},
    {"landscape", 0, false, TOption::Landscape}, {"sizing", 's', true, TOption::Sizing},
    {"margins", 'm', true, TOption::Margins},   {"title", 0, true, TOption::Title},
    {"subject", 0, true, TOption::Subject},     {"author", 0, true, TOption::Author},
    {"keywords", 0, true, TOption::Keywords},   {"no-auto-orient", 0, false, TOption::NoAutoOrient},
    {"lossless-decoded", 0, false, TOption::LosslessDecoded},
    {"compact", 0, false, TOption::Compact},
    {"list-papers", 0, false, TOption::ListPapers},
    {"quiet", 'q', false, TOption::Quiet},      {"help", 'h', false, TOption::Help},
    {"version", 0, false, TOption::Version},    {"progress", 0, false, TOption::Progress},
};

const TOptionInfo* FindLong(const std::string& name) {
    for (const TOptionInfo& info : kOptions)
        if (name == info.longName) return &info;
    return nullptr;
}

const TOptionInfo* FindShort(char name) {
    for (const TOptionInfo& info : kOptions)
        if (info.shortName != 0 && info.shortName == name) return &info;
    return nullptr;
}

TSizeMethod ParseSizing(const std::string& text) {
    if (text == "stretch") return smStretch;
    if (text == "fit") return smFit;
    if (text == "full") return smFullSize;
    throw EUsage("unknown sizing '" + text + "' (stretch, fit or full)");
}

std::optional<int> ParseWholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

void Apply(TCliOptions& options, TOption option, const std::string& value) {
    switch (option) {
        case TOption::Output:
            if (value.empty()) throw EUsage("the output file name is empty");
            options.Output = value;
            break;
        case TOption::Force: options.Force = true; break;
        case TOption::Paper: options.Paper = value; break;
        case TOption::Portrait: options.Portrait = true; break;
        case TOption::Landscape: options.Portrait = false; break;
        case TOption::Sizing: options.Sizing = ParseSizing(value); break;
        case TOption::Margins: options.Margins = ParseMargins(value); break;
        case TOption::Title: options.Title = value; break;
        case TOption::Subject: options.Subject = value; break;
        case TOption::Author: options.Author = value; break;
        case TOption::Keywords: options.Keywords = value; break;
        case TOption::NoAutoOrient: options.AutoOrient = false; break;
        case TOption::LosslessDecoded: options.LosslessDecoded = true; break;
        case TOption::Compact: options.CompactBitmaps = true; break;
        case TOption::ListPapers: options.ListPapers = true; break;
        case TOption::Quiet: options.Quiet = true; break;
        case TOption::Progress: options.Progress = true; break;
        case TOption::Help: options.Help = true; break;
        case TOption::Version: options.Version = true; break;
    }
}

}  // namespace

TMargins ParseMargins(const std::string& text) {
    std::vector<int> values;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::optional<int> value = ParseWholeNumber(part);
        if (!value || *value < 0)
            throw EUsage("bad margins '" + text + "': give N or TOP,BOTTOM,LEFT,RIGHT in whole points, none negative");
        values.push_back(*value);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (values.size() == 1) return {values[0], values[0], values[0], values[0]};
    if (values.size() == 4) return {values[0], values[1], values[2], values[3]};
    throw EUsage("bad margins '" + text + "': give N or TOP,BOTTOM,LEFT,RIGHT in whole points, none negative");
}

TCliOptions ParseCommandLine(const std::vector<std::string>& args) {
    TCliOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto nextValue = [&](const std::string& shown) -> std::string {
            if (i + 1 >= args.size()) throw EUsage("option '" + shown + "' needs a value");
            return args[++i];
        };
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.Images.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg.rfind("--", 0) == 0) {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const TOptionInfo* info = FindLong(name);
            if (!info) throw EUsage("unknown option '--" + name + "'");
            if (!info->takesValue && equals != std::string::npos)
                throw EUsage("option '--" + name + "' takes no value");
            const std::string value = !info->takesValue ? std::string()
                                      : equals != std::string::npos ? arg.substr(equals + 1)
                                                                    : nextValue("--" + name);
            Apply(options, info->option, value);
        } else {
            // One or more short options; the first that takes a value takes the rest as value.
            for (std::size_t k = 1; k < arg.size(); ++k) {
                const TOptionInfo* info = FindShort(arg[k]);
                if (!info) throw EUsage(std::string("unknown option '-") + arg[k] + "'");
                if (!info->takesValue) {
                    Apply(options, info->option, {});
                    continue;
                }
                const std::string shown = std::string("-") + arg[k];
                Apply(options, info->option, k + 1 < arg.size() ? arg.substr(k + 1) : nextValue(shown));
                break;
            }
        }
    }
    return options;
}

std::string SupportedKindsText() {
    const std::vector<TImageFormat>& formats = ImageFormats();
    std::string text;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0) text += i + 1 == formats.size() ? " or " : ", ";
        text += formats[i].Name;
    }
    return text;
}

namespace {

// The extensions of a kind in lower case: ".tif .tiff".
std::string ExtensionsOf(const TImageFormat& format) {
    std::string text;
    for (std::string_view extension : format.Extensions) {
        if (!text.empty()) text += ' ';
        for (char c : extension) text += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

// The text folded into lines of at most `width` characters, each starting with `indent`.
std::string Folded(std::string_view text, const std::string& indent, std::size_t width) {
    std::string out;
    std::string line = indent;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(start, end - start);
        if (line.size() > indent.size() && line.size() + 1 + word.size() > width) {
            out += line + '\n';
            line = indent;
        }
        if (line.size() > indent.size()) line += ' ';
        line += word;
        start = end + 1;
    }
    return out + line + '\n';
}

// One entry per kind of the table: its name and extensions, then what becomes of its data.
std::string KindsHelp() {
    std::string text = "Pictures, by the extension of their name in any case:\n";
    for (const TImageFormat& format : ImageFormats()) {
        std::string head = "  " + std::string(format.Name);
        head.resize(9, ' ');
        text += head + ExtensionsOf(format) + "\n";
        text += Folded(format.Handling, std::string(9, ' '), 79);
    }
    return text;
}

}  // namespace

std::string HelpText() {
    return "Usage: tovrapdf-cli [OPTIONS] IMAGE...\n"
           "Turns pictures into one PDF, one page per picture (one per page of a multi-page\n"
           "TIFF), in the order given.\n"
           "\n"
           "  -o, --output FILE          the PDF to write (required); - writes it to standard\n"
           "                             output, a pipe or device is written directly\n"
           "  -f, --force                replace FILE if it exists; without it an existing FILE\n"
           "                             is an error and is left untouched\n"
           "  -p, --paper NAME           paper from the paper list, matched without regard to\n"
           "                             case (default: the system's paper size, else Letter)\n"
           "      --portrait | --landscape                     (default portrait)\n"
           "  -s, --sizing stretch|fit|full                    (default fit)\n"
           "  -m, --margins N | TOP,BOTTOM,LEFT,RIGHT          margins in points (default 20)\n"
           "      --title TEXT  --subject TEXT  --author TEXT  --keywords TEXT\n"
           "      --no-auto-orient       place photos as stored; by default a photo whose EXIF\n"
           "                             orientation (a TIFF's orientation tag) says it was\n"
           "                             taken turned is shown upright\n"
           "      --lossless-decoded     HEIF and AVIF photos as exact pixels (Flate, larger)\n"
           "                             instead of one JPEG encode at quality 92\n"
           "      --compact              smaller files for bitmap pictures (BMP, GIF and decoded\n"
           "                             PNG, TIFF and WebP), the same pixels (PNG prediction\n"
           "                             and a stronger deflater)\n"
           "      --list-papers          print one line per paper: NAME, width and height in\n"
           "                             points, tab-separated\n"
           "  -q, --quiet                no progress lines\n"
           "      --progress             progress lines also when standard error is no terminal\n"
           "  -h, --help                 show this help\n"
           "      --version              show the version\n"
           "\n" +
           KindsHelp() +
           "Files of other kinds are skipped with a warning.\n"
           "\n"
           "With SOURCE_DATE_EPOCH set, the dates come from it (UTC) and the output is reproducible.\n"
           "Exit status: 0 when the PDF was written, 1 when the run failed, 2 for a usage error,\n"
           "129, 130 or 143 when stopped by SIGHUP, SIGINT or SIGTERM (nothing is written then).\n";
}

std::string VersionText() { return "tovrapdf-cli (Tovra PDF) 1.1\n"; }

}  // namespace tovra::cli
