#pragma once
// The PDF creation run without its dialogs: the document's metadata, one report page per
// image entry in order, the file written at the end, and opening it afterwards on request.
// Nothing here shows a window, so the desktop program and the command-line tool share it.
#include <functional>
#include <string>
#include <vector>

#include "common/Exceptions.h"
#include "convert/PDFImage.h"
#include "pdf/PdfTypes.h"

namespace tovra {

class TPReport;

// The creator entry every created PDF carries.
inline constexpr const char* kPdfCreator = "Tovra PDF version 1.1";

// Page margins in points.
struct TMargins {
    int Top = 32;
    int Bottom = 32;
    int Left = 32;
    int Right = 32;
};

// Both a row and the writing of the file failed: the row's failure, then the file's.
class ECreationRunFailed : public Exception {
public:
    ECreationRunFailed(std::string rowFailure, std::string finishFailure);
    const std::string& RowFailure() const { return rowFailure_; }
    const std::string& FinishFailure() const { return finishFailure_; }

private:
    std::string rowFailure_;
    std::string finishFailure_;
};

// The run was cancelled through TBuildOptions::Cancelled: nothing was written, an existing file
// is as it was. Callers tell it from a failure by its class.
class ERunCancelled : public Exception {
public:
    ERunCancelled();
};

struct TBuildOptions {
    // The preview page's margins: each run page starts with them, so they stay in force where
    // the page refuses an entry's margin.
    TMargins PreviewMargins;
    // Show pictures upright as their file says (a JPEG's EXIF orientation, a TIFF's orientation
    // tag; the data stays unchanged, the page's drawing turns them). Off prints every picture
    // as stored.
    bool AutoOrient = true;
    // Decoded photos (HEIF, AVIF) as exact Flate pixels instead of one JPEG encode at quality 92.
    bool LosslessDecoded = false;
    // Bitmap pictures (BMP, GIF, decoded samples) are written smaller, with the same pixels:
    // PNG prediction for grey and RGB rows and a stronger deflater. Off writes the established bytes.
    bool CompactBitmaps = false;
    // Called before each row is read: its index among the rows given, their count, the entry.
    // Enough for a progress display ("Page 12 of 40: holiday-12.jpg").
    std::function<void(int index, int count, const TPDFImage& entry)> OnRow;
    // Asked after each page is made and once more just before the file would replace its
    // target; true stops the run with ERunCancelled and nothing written.
    std::function<bool()> Cancelled;
};

struct TCreateOptions {
    TBuildOptions Build;
    // The local date-time used for both dates and for the modification date written.
    std::function<TDateTime()> Clock = Now;
    // What the clock's readings are: local time, or UTC (SOURCE_DATE_EPOCH).
    TDateZone DateZone = TDateZone::Local;
    // Asked to open the new file once it has been written; none leaves it closed.
    std::function<void(const std::string& path)> OpenFile;
};

// Settings of the program's report: Flate-compressed content, no outlines, no viewer
// preferences, page mode UseNone, single-page layout.
void ConfigureReport(TPReport& report);

// The metadata of a run: modification date, then creation date (the clock read again), the
// creator and the output path.
void SetRunMetadata(TPReport& report, const std::string& path, const std::function<TDateTime()>& clock);

// Starts the document, prints one page per entry (null entries are skipped) and writes the file
// to the report's FileName. The page, panel and item made for an entry belong to a container
// that lives until that page has been printed.
//
// When an entry fails (missing or unreadable file, margins that leave no room, image
// creation, memory running out while its picture is read or made), the pages made before it
// are still written and then its failure, naming its file, is thrown. When
// no page was made, nothing is written and an existing file stays untouched. When writing fails
// as well, ECreationRunFailed carries both messages. A cancelled run throws ERunCancelled and
// writes nothing. The report has no open document afterwards.
void BuildPdf(TPReport& report, const std::vector<const TPDFImage*>& entries, const TBuildOptions& options = {});

// The Create PDF command after its dialogs: nothing without entries; otherwise the metadata,
// BuildPdf, and opening the file when the caller asks for it (never after a failure).
void CreatePdf(TPReport& report, const std::vector<const TPDFImage*>& entries, const std::string& path,
               const TCreateOptions& options = {});

}  // namespace tovra
