#pragma once
// The report: stands for one PDF file while it is produced. It keeps the document-level
// settings between runs, opens a document when a run begins, adds one PDF page per printed
// report page and writes the file when the run ends.
#include <functional>
#include <memory>
#include <string>

#include "pdf/PdfDoc.h"
#include "report/AtomicFile.h"
#include "report/PRPage.h"

namespace tovra {

// Wraps a destination and speaks the report's top-down coordinates.
class TPRDestination : public TPdfOwnedObject {
public:
    explicit TPRDestination(TPdfDestination* destination) : destination_(destination) {}
    void SetDType(TPdfDestinationKind kind) { destination_->Kind = kind; }
    // Index 0 left, 1 top, 2 right, 3 bottom; top and bottom count from the page's top edge.
    void SetElement(int index, int32_t value);
    void SetZoom(float value) { destination_->SetZoom(value); }
    TPdfDestination* Data() const { return destination_; }

private:
    TPdfDestination* destination_;  // the destination owns this wrapper
};

class TPROutlineEntry : public TPdfOwnedObject {
public:
    explicit TPROutlineEntry(TPdfOutlineEntry* entry) : entry_(entry) {}
    TPdfOutlineEntry* Data() const { return entry_; }

private:
    TPdfOutlineEntry* entry_;  // the entry owns this wrapper
};

class TPROutlineRoot : public TPROutlineEntry {
public:
    using TPROutlineEntry::TPROutlineEntry;
};

class TPReport : public TAbstractPReport {
public:
    TPReport();
    ~TPReport() override;

    void BeginReport();
    void PrintPage(TPRPage& page);
    void EndReport();
    void AbortReport();
    TPRDestination* CreateDestination();
    void SetOpenAction(TPRDestination* destination);
    bool HasDocument() const { return doc_ != nullptr; }

    // Plain settings, read when used.
    // The file EndReport writes; "-" writes to standard output.
    std::string FileName = "default.pdf";
    // How EndReport puts the file in place: whether a file that appeared at FileName during the
    // run may be replaced, and a last look before it is (see WriteFileAtomically).
    TWriteOptions WriteOptions;
    TPdfCompressionMethod CompressionMethod = cmNone;
    // Decoded photos (HEIF, AVIF) as exact Flate pixels instead of one JPEG encode.
    bool LosslessDecoded = false;
    // Bitmap pictures get the compact encoding: smaller files, the same pixels (TPdfDoc).
    bool CompactBitmaps = false;
    // Gives the local date-time written as the modification date; the clock unless replaced.
    std::function<TDateTime()> Clock = Now;
    // What the dates (the clock's and those set) are readings of.
    TDateZone DateZone = TDateZone::Local;

    const std::string& Author() const { return author_; }
    TDateTime CreationDate() const { return creationDate_; }
    const std::string& Creator() const { return creator_; }
    const std::string& Keywords() const { return keywords_; }
    TDateTime ModDate() const { return modDate_; }
    const std::string& Subject() const { return subject_; }
    const std::string& Title() const { return title_; }
    TPdfPageLayout PageLayout() const { return pageLayout_; }
    TPdfPageMode PageMode() const { return pageMode_; }
    TPdfPageMode NonFullScreenPageMode() const { return nonFullScreenPageMode_; }
    bool UseOutlines() const { return useOutlines_; }
    TPdfViewerPreferences ViewerPreference() const { return viewerPreference_; }
    TPROutlineRoot* OutlineRoot() const { return outlineRoot_; }
    TPRDestination* OpenAction() const { return openAction_; }

    // These refuse while a document is open.
    void SetAuthor(const std::string& value);
    void SetCreationDate(TDateTime value);
    void SetCreator(const std::string& value);
    void SetKeywords(const std::string& value);
    void SetModDate(TDateTime value);
    void SetSubject(const std::string& value);
    void SetTitle(const std::string& value);
    void SetPageLayout(TPdfPageLayout value);
    void SetPageMode(TPdfPageMode value);
    void SetNonFullScreenPageMode(TPdfPageMode value);
    void SetUseOutlines(bool value);
    void SetViewerPreference(TPdfViewerPreferences value);

private:
    void RefuseWhileOpen(const char* setter) const;

    std::string author_;
    TDateTime creationDate_;
    std::string creator_;
    std::string keywords_;
    TDateTime modDate_ = 0;
    std::string subject_;
    std::string title_;
    TPRCanvas canvas_;
    std::unique_ptr<TPdfDoc> doc_;
    TPdfPageMode pageMode_ = pmUseNone;
    TPdfPageMode nonFullScreenPageMode_ = pmUseNone;
    TPdfPageLayout pageLayout_ = plSinglePage;
    bool useOutlines_ = false;
    TPROutlineRoot* outlineRoot_ = nullptr;  // owned by the document's outline root
    TPRDestination* openAction_ = nullptr;   // owned by its destination
    TPdfViewerPreferences viewerPreference_ = 0;
};

}  // namespace tovra
