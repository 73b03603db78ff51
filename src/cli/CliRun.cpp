#include "cli/CliRun.h"

#include <sys/stat.h>

#include <csignal>
#include <sstream>

#include "cli/CliOptions.h"
#include "cli/CliPapers.h"
#include "cli/SourceDate.h"
#include "convert/CreationRun.h"
#include "convert/ImageKinds.h"
#include "convert/ImagePages.h"
#include "report/OutputTarget.h"
#include "report/PRImage.h"
#include "report/PReport.h"
#include "report/ProcessSetup.h"

namespace tovra::cli {

namespace {

constexpr const char* kProgram = "tovrapdf-cli: ";
// Image names of reproducible files come from this seed.
constexpr std::uint32_t kReproducibleNameSeed = 1;

// Fixes the image-name seed for as long as it lives.
class TNameSeedGuard {
public:
    explicit TNameSeedGuard(bool fixed) : fixed_(fixed) {
        if (fixed_) TPRImage::SetNameSeed(kReproducibleNameSeed);
    }
    ~TNameSeedGuard() {
        if (fixed_) TPRImage::SetNameSeed(std::nullopt);
    }
    TNameSeedGuard(const TNameSeedGuard&) = delete;
    TNameSeedGuard& operator=(const TNameSeedGuard&) = delete;

private:
    bool fixed_;
};

// Every line of a message, each with the program's prefix.
void PrintFailure(std::ostream& err, const std::string& message) {
    std::istringstream lines(message);
    std::string line;
    while (std::getline(lines, line)) err << kProgram << line << '\n';
}

// An existing regular file at the output (a link to one included). Pipes, devices and
// standard output are written to, never replaced, so they need no --force.
bool RegularFileExists(const std::string& output) {
    struct stat info {};
    return output != kStandardOutputName && stat(output.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string SignalName(int signal) {
    if (signal == SIGINT) return "SIGINT";
    if (signal == SIGTERM) return "SIGTERM";
    if (signal == SIGHUP) return "SIGHUP";
    return "signal " + std::to_string(signal);
}

int Stopped(std::ostream& err, int signal, const std::string& outcome) {
    err << kProgram << "stopped by " << SignalName(signal) << outcome << '\n';
    return kExitSignalBase + signal;
}

// The page settings every image gets.
TPDFImage PageSettings(const TCliOptions& options) {
    const TPaperChoice paper = FindPaper(options.Paper);
    TPDFImage settings;
    settings.SizeMethod = options.Sizing;
    ApplyPaper(settings, paper.Name, paper.Width, paper.Height, options.Portrait);
    ApplyMargins(settings, options.Margins.Top, options.Margins.Bottom, options.Margins.Left, options.Margins.Right);
    // The page ignores a margin that is not below half its width; say so rather than
    // quietly printing with another margin.
    const int limit = settings.PageWidth / 2;
    for (const int margin : {options.Margins.Top, options.Margins.Bottom, options.Margins.Left, options.Margins.Right}) {
        if (margin >= limit)
            throw EUsage("margin " + std::to_string(margin) + " is not below half the page width (" +
                         std::to_string(settings.PageWidth) + " points)");
    }
    return settings;
}

// The images of supported kinds, each with the page settings, a multi-page file one entry per
// page in order; the others are skipped.
std::vector<TPDFImage> Entries(const TCliOptions& options, const TPDFImage& settings, std::ostream& err) {
    std::vector<TPDFImage> entries;
    entries.reserve(options.Images.size());  // held for the whole run: no doubling slack
    for (const std::string& image : options.Images) {
        const TImageKind kind = ImageKindOfFile(image);
        if (kind == ikNone) {
            err << kProgram << "skipping '" << image << "': not a " << SupportedKindsText() << " file\n";
            continue;
        }
        TPDFImage entry = settings;
        entry.FileName = image;
        entry.ImageKind = kind;
        for (TPDFImage& page : EntriesPerPage(entry)) entries.push_back(std::move(page));
    }
    if (entries.empty()) throw EUsage("no image to convert");
    return entries;
}

int Convert(const TCliOptions& options, std::ostream& err, const TCliEnvironment& env) {
    if (options.Output.empty()) throw EUsage("no output file given (-o FILE)");
    // Known before any picture is read, as a closed standard output is.
    if (options.Output == kStandardOutputName) RequireOpenStandardOutput();
    const TPDFImage settings = PageSettings(options);
    const std::vector<TPDFImage> entries = Entries(options, settings, err);
    std::optional<TDateTime> fixedDate;
    if (env.SourceDateEpoch) fixedDate = DateFromSourceDateEpoch(*env.SourceDateEpoch);

    if (RegularFileExists(options.Output) && !options.Force) {
        err << kProgram << "'" << options.Output << "' exists; use --force to replace it\n";
        return kExitFailed;
    }

    std::vector<const TPDFImage*> rows;
    rows.reserve(entries.size());
    for (const TPDFImage& entry : entries) rows.push_back(&entry);

    TPReport report;
    ConfigureReport(report);
    report.SetTitle(options.Title);
    report.SetSubject(options.Subject);
    report.SetAuthor(options.Author);
    report.SetKeywords(options.Keywords);
    // Without --force, a file that appears at the output during the run is not replaced either.
    report.WriteOptions.ReplaceExisting = options.Force;
    // The first signal seen is kept, so the exit status names the one that stopped the run.
    int signalled = 0;
    const auto stopSignal = [&env, &signalled] {
        if (signalled == 0 && env.StopSignal) signalled = env.StopSignal();
        return signalled;
    };

    TCreateOptions create;
    create.Build.PreviewMargins = options.Margins;
    create.Build.AutoOrient = options.AutoOrient;
    create.Build.LosslessDecoded = options.LosslessDecoded;
    create.Build.CompactBitmaps = options.CompactBitmaps;
    if (fixedDate) {
        create.Clock = [date = *fixedDate] { return date; };
        create.DateZone = TDateZone::Utc;
    }
    create.Build.Cancelled = [&stopSignal] { return stopSignal() != 0; };
    if ((env.ProgressToTerminal || options.Progress) && !options.Quiet) {
        create.Build.OnRow = [&err](int index, int count, const TPDFImage& entry) {
            err << '[' << index + 1 << '/' << count << "] " << EntryLabel(entry, false) << '\n' << std::flush;
        };
    }
    TNameSeedGuard seed(fixedDate.has_value());
    try {
        CreatePdf(report, rows, options.Output, create);
    } catch (const ERunCancelled&) {
        return Stopped(err, stopSignal(), "; no PDF was written");
    } catch (const std::exception& failure) {
        // A signal can also end a wait with an error (a pipe nobody reads): it still counts as a stop.
        if (const int signal = stopSignal(); signal != 0) return Stopped(err, signal, ": " + std::string(failure.what()));
        PrintFailure(err, failure.what());
        return kExitFailed;
    }
    return kExitWritten;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TCliEnvironment& env) {
    try {
        const TCliOptions options = ParseCommandLine(args);
        if (options.Help) {
            out << HelpText();
            return kExitWritten;
        }
        if (options.Version) {
            out << VersionText();
            return kExitWritten;
        }
        if (options.ListPapers) {
            ListPapers(out);
            return kExitWritten;
        }
        return Convert(options, err, env);
    } catch (const EUsage& usage) {
        err << kProgram << usage.what() << '\n' << "Try 'tovrapdf-cli --help' for more information.\n";
        return kExitUsage;
    } catch (const std::exception& failure) {
        PrintFailure(err, failure.what());
        return kExitFailed;
    }
}

}  // namespace tovra::cli
