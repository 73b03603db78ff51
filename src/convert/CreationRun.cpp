#include "convert/CreationRun.h"

#include <exception>
#include <new>
#include <memory>

#include "convert/ImagePages.h"
#include "convert/PageLayout.h"
#include "report/PRImage.h"
#include "report/PRJpegImage.h"
#include "report/PRPanels.h"
#include "report/PReport.h"

namespace tovra {

namespace {

std::string MessageOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown failure";
    }
}

std::string NoRoomMessage(const TPDFImage& entry, const TPRPage& page) {
    return "No room for the picture of \"" + entry.FileName + "\"" + PageSuffix(entry) +
           ": the margins leave no content area on a page of " +
           std::to_string(page.Width()) + " x " + std::to_string(page.Height()) + " points";
}

std::string OutOfMemoryMessage(const TPDFImage& entry) {
    return "Not enough memory for the picture of \"" + entry.FileName + "\"" + PageSuffix(entry);
}

// Puts the run's last look for a cancel into the report's write and takes it out again when
// the run ends, so the report's own settings are as they were.
class TCancelBeforeCommit {
public:
    TCancelBeforeCommit(TPReport& report, const std::function<bool()>& cancelled)
        : report_(report), saved_(report.WriteOptions.BeforeCommit) {
        if (!cancelled) return;
        report.WriteOptions.BeforeCommit = [saved = saved_, cancelled] {
            if (cancelled()) throw ERunCancelled();
            if (saved) saved();
        };
    }
    ~TCancelBeforeCommit() { report_.WriteOptions.BeforeCommit = saved_; }
    TCancelBeforeCommit(const TCancelBeforeCommit&) = delete;
    TCancelBeforeCommit& operator=(const TCancelBeforeCommit&) = delete;

private:
    TPReport& report_;
    std::function<void()> saved_;
};

struct TRunPage {
    TPRPage& Page;
    TPRImage& Item;
};

// Makes the page, panel and item of one entry, owned by the run's container, and lays the
// entry's picture out on them.
TRunPage PreparePage(TControl& container, const TPDFImage& row, const TBuildOptions& options) {
    const TMargins& preview = options.PreviewMargins;
    TPDFImage copy;
    CopyImage(copy, row);

    auto* page = container.Make<TPRPage>();
    page->SetParent(&container);
    page->SetMarginBottom(preview.Bottom);
    page->SetMarginLeft(preview.Left);
    page->SetMarginRight(preview.Right);
    page->SetMarginTop(preview.Top);
    page->SetBounds(page->Left(), page->Top(), copy.PageWidth, copy.PageHeight);

    auto* panel = container.Make<TPRLayoutPanel>();
    panel->SetParent(page);
    panel->SetAlign(alClient);

    TPRImage* item = nullptr;
    if (copy.ImageKind == ikJPEG) {
        auto* jpeg = container.Make<TPRJpegImage>();
        copy.JpegItem = jpeg;
        item = jpeg;
    } else {
        item = container.Make<TPRImage>();
        copy.BitmapItem = item;
    }
    item->SetAutoOrient(options.AutoOrient);
    item->SharedImage = false;
    item->SetParent(panel);
    item->SetBounds(0, 0, item->Width(), item->Height());
    copy.LayoutPanel = panel;
    copy.Page = page;

    LoadPicture(copy);
    if (!HasContentArea(*page)) throw Exception(NoRoomMessage(copy, *page));
    return {*page, *item};
}

}  // namespace

ERunCancelled::ERunCancelled() : Exception("The PDF was not created: the run was cancelled") {}

ECreationRunFailed::ECreationRunFailed(std::string rowFailure, std::string finishFailure)
    : Exception(rowFailure + "\n" + finishFailure),
      rowFailure_(std::move(rowFailure)),
      finishFailure_(std::move(finishFailure)) {}

void ConfigureReport(TPReport& report) {
    report.FileName = "File01.pdf";
    report.CompressionMethod = cmFlateDecode;
    report.SetCreator("Tovra PDF");
    report.SetUseOutlines(false);
    report.SetViewerPreference(0);
    report.SetPageMode(pmUseNone);
    report.SetPageLayout(plSinglePage);
}

void SetRunMetadata(TPReport& report, const std::string& path, const std::function<TDateTime()>& clock) {
    report.SetModDate(clock());
    report.SetCreationDate(clock());
    report.SetCreator(kPdfCreator);
    report.FileName = path;
}

void BuildPdf(TPReport& report, const std::vector<const TPDFImage*>& entries, const TBuildOptions& options) {
    const auto cancelled = [&options] { return options.Cancelled && options.Cancelled(); };
    report.LosslessDecoded = options.LosslessDecoded;
    report.CompactBitmaps = options.CompactBitmaps;  // the document takes it when it begins
    report.BeginReport();
    std::exception_ptr rowFailure;
    int printed = 0;
    bool stopped = false;
    try {
        const int count = static_cast<int>(entries.size());
        for (int index = 0; index < count && !stopped; ++index) {
            const TPDFImage* row = entries[static_cast<std::size_t>(index)];
            if (!row) continue;
            try {
                if (options.OnRow) options.OnRow(index, count, *row);
                // The row's page, panel and item live until their page is printed: the document
                // holds all it needs of them then, so a batch of any length holds one row's
                // components (and picture) at a time.
                TControl container;
                const TRunPage prepared = PreparePage(container, *row, options);
                report.PrintPage(prepared.Page);
            } catch (const std::bad_alloc&) {
                // Pictures that each pass the size limits can still exhaust memory together.
                throw Exception(OutOfMemoryMessage(*row));
            }
            ++printed;
            stopped = cancelled();
        }
    } catch (...) {
        rowFailure = std::current_exception();
    }

    if (stopped) {
        report.AbortReport();
        throw ERunCancelled();
    }
    if (rowFailure && printed == 0) {
        // A document without pages cannot be written: keep whatever file is there.
        report.AbortReport();
        std::rethrow_exception(rowFailure);
    }
    try {
        const TCancelBeforeCommit lastLook(report, options.Cancelled);
        report.EndReport();
    } catch (const ERunCancelled&) {
        report.AbortReport();
        throw;
    } catch (const std::exception& finish) {
        report.AbortReport();
        if (!rowFailure) throw;
        throw ECreationRunFailed(MessageOf(rowFailure), finish.what());
    }
    if (rowFailure) std::rethrow_exception(rowFailure);
}

void CreatePdf(TPReport& report, const std::vector<const TPDFImage*>& entries, const std::string& path,
               const TCreateOptions& options) {
    if (entries.empty()) return;
    // A document left open by an earlier failure would refuse the metadata.
    report.AbortReport();
    report.Clock = options.Clock;
    report.DateZone = options.DateZone;
    SetRunMetadata(report, path, options.Clock);
    BuildPdf(report, entries, options.Build);
    if (options.OpenFile) options.OpenFile(path);
}

}  // namespace tovra
