#include "report/PReport.h"

#include "common/Exceptions.h"
#include "report/AtomicFile.h"
#include "report/OutputTarget.h"

namespace tovra {

void TPRDestination::SetElement(int index, int32_t value) {
    const bool fromTop = index == 1 || index == 3;
    destination_->SetElement(index, fromTop ? destination_->PageHeight() - value : value);
}

TPReport::TPReport() : creationDate_(Now()) {}

TPReport::~TPReport() = default;

void TPReport::RefuseWhileOpen(const char* setter) const {
    if (doc_) throw EPdfInvalidOperation(std::string(setter) + " --invalid operation.");
}

void TPReport::SetAuthor(const std::string& value) { RefuseWhileOpen("SetAuthor"); author_ = value; }
void TPReport::SetCreationDate(TDateTime value) { RefuseWhileOpen("SetCreationDate"); creationDate_ = value; }
void TPReport::SetCreator(const std::string& value) { RefuseWhileOpen("SetCreator"); creator_ = value; }
void TPReport::SetKeywords(const std::string& value) { RefuseWhileOpen("SetKeyWords"); keywords_ = value; }
void TPReport::SetModDate(TDateTime value) { RefuseWhileOpen("SetModDate"); modDate_ = value; }
void TPReport::SetSubject(const std::string& value) { RefuseWhileOpen("SetSubject"); subject_ = value; }
void TPReport::SetTitle(const std::string& value) { RefuseWhileOpen("SetTitle"); title_ = value; }
void TPReport::SetPageLayout(TPdfPageLayout value) { RefuseWhileOpen("SetPageLayout"); pageLayout_ = value; }
void TPReport::SetPageMode(TPdfPageMode value) { RefuseWhileOpen("SetPageMode"); pageMode_ = value; }
void TPReport::SetNonFullScreenPageMode(TPdfPageMode value) {
    RefuseWhileOpen("SetNonFullScreenPageMode");
    nonFullScreenPageMode_ = value == pmFullScreen ? pmUseNone : value;
}
void TPReport::SetUseOutlines(bool value) { RefuseWhileOpen("SetUseOutlines"); useOutlines_ = value; }
void TPReport::SetViewerPreference(TPdfViewerPreferences value) {
    RefuseWhileOpen("SetViewerPreference");
    viewerPreference_ = value;
}

void TPReport::BeginReport() {
    AbortReport();
    doc_ = std::make_unique<TPdfDoc>();
    doc_->Clock = Clock;
    doc_->DateZone = DateZone;
    doc_->UseOutlines = useOutlines_;
    doc_->CompressionMethod = CompressionMethod;
    doc_->LosslessDecoded = LosslessDecoded;
    doc_->CompactBitmaps = CompactBitmaps;
    doc_->SpoolFolder = ScratchFolderFor(FileName);
    doc_->StartDocument();
    if (useOutlines_) {
        TPdfOutlineRoot* root = doc_->GetOutlineRoot();
        auto wrapper = std::make_unique<TPROutlineRoot>(root);
        outlineRoot_ = wrapper.get();
        root->Wrapper = std::move(wrapper);
    }
    TPdfCatalog* catalog = doc_->GetRoot();
    catalog->SetPageMode(pageMode_);
    catalog->SetPageLayout(pageLayout_);
    if (nonFullScreenPageMode_ != pmUseNone) catalog->SetNonFullScreenPageMode(nonFullScreenPageMode_);
    if (viewerPreference_ != 0) catalog->SetViewerPreference(viewerPreference_);
    TPdfInfo* info = doc_->GetInfo();
    info->SetAuthor(author_);
    info->SetCreationDate(creationDate_);
    info->SetCreator(creator_);
    info->SetKeywords(keywords_);
    info->SetModDate(modDate_);
    info->SetSubject(subject_);
    info->SetTitle(title_);
}

void TPReport::PrintPage(TPRPage& page) {
    if (!doc_) throw EInvalidOperation("PrintPage --document is null..");
    doc_->AddPage();
    canvas_.PdfCanvas = doc_->GetCanvas();
    page.PrintOn(canvas_);
}

void TPReport::EndReport() {
    if (!doc_) throw EInvalidOperation("document is null..");
    WriteFileAtomically(FileName, [this](TStream& stream) { doc_->SaveToStream(stream); }, WriteOptions);
    AbortReport();
}

void TPReport::AbortReport() {
    canvas_.PdfCanvas = nullptr;
    outlineRoot_ = nullptr;
    openAction_ = nullptr;
    doc_.reset();
}

TPRDestination* TPReport::CreateDestination() {
    if (!doc_) throw EPdfInvalidOperation("CreateDestination --invalid operation.");
    TPdfDestination* destination = doc_->CreateDestination();
    auto wrapper = std::make_unique<TPRDestination>(destination);
    TPRDestination* result = wrapper.get();
    destination->Wrapper = std::move(wrapper);
    result->SetElement(1, -10);
    result->SetZoom(1);
    return result;
}

void TPReport::SetOpenAction(TPRDestination* destination) {
    if (!doc_) throw EPdfInvalidOperation("SetOpenAction --invalid operation.");
    doc_->GetRoot()->OpenAction = destination ? destination->Data() : nullptr;
    openAction_ = destination;
}

}  // namespace tovra
