#include "pdf/PdfOutlines.h"

#include "common/Exceptions.h"
#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"

namespace tovra {

namespace {
TPdfDoc* StartedDoc(TPdfDoc* doc) {
    if (!doc || !doc->HasDoc()) throw EPdfInvalidOperation("TPdfDestination --cannot destination object.");
    return doc;
}
}  // namespace

TPdfDestination::TPdfDestination(TPdfDoc* doc) : doc_(StartedDoc(doc)), page_(doc->GetCanvas()->GetPage()) {}

void TPdfDestination::SetElement(int index, int32_t value) {
    int32_t& stored = values_.at(static_cast<size_t>(index));
    if (value == stored) return;
    stored = value < 0 ? -1 : value;
}

void TPdfDestination::SetZoom(float value) {
    if (value == zoom_) return;
    if (value < 0) throw EPdfInvalidValue("Zoom property cannot set to under 0.");
    if (value > 10) throw EPdfInvalidValue("Zoom property cannot set to over 10.");
    zoom_ = value;
}

int32_t TPdfDestination::PageHeight() const {
    const TPdfArray* mediaBox = page_->ArrayByKey("MediaBox");
    if (mediaBox && mediaBox->ItemCount() >= 4) {
        if (const auto* height = dynamic_cast<const TPdfNumber*>(mediaBox->Items(3))) return height->Value;
    }
    return doc_->DefaultPageHeight;
}

std::unique_ptr<TPdfArray> TPdfDestination::ToArray() const {
    static const char* const kNames[] = {"XYZ", "Fit", "FitH", "FitV", "FitR", "FitB", "FitBH", "FitBV"};
    enum { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };
    auto array = std::make_unique<TPdfArray>(doc_->Xref());
    array->Add(*page_);
    array->Add(std::make_unique<TPdfName>(kNames[Kind]));
    auto add = [&](int index) {
        const int32_t value = values_[static_cast<size_t>(index)];
        const int32_t lowest = (index == kLeft || index == kTop) ? -100 : 0;
        if (value < lowest) {
            array->Add(std::make_unique<TPdfNull>());
        } else {
            array->Add(std::make_unique<TPdfNumber>(value));
        }
    };
    switch (Kind) {
        case dkXYZ: add(kLeft); add(kTop); array->Add(std::make_unique<TPdfReal>(zoom_)); break;
        case dkFitH: case dkFitBH: add(kTop); break;
        case dkFitV: case dkFitBV: add(kLeft); break;
        case dkFitR: add(kLeft); add(kBottom); add(kRight); add(kTop); break;
        case dkFit: case dkFitB: break;
    }
    return array;
}

TPdfOutlineEntry* TPdfOutlineEntry::CreateEntry(TPdfOutlineEntry* parent) {
    if (!parent) throw Exception("CreateEntry --invalid parent.");
    std::unique_ptr<TPdfOutlineEntry> entry(new TPdfOutlineEntry());
    entry->Parent = parent;
    entry->Doc = parent->Doc;
    entry->SetDict(entry->Doc->Xref()->Add(std::make_unique<TPdfDictionary>(entry->Doc->Xref())));
    return entry->Doc->AddOwnedObject(std::move(entry));
}

void TPdfOutlineEntry::StoreCountAndChildren() {
    Dict()->Put("Count", std::make_unique<TPdfNumber>(Opened ? Count : -Count));
}

void TPdfOutlineEntry::StoreTree() {
    StoreCountAndChildren();
    Dict()->Put("Title", std::make_unique<TPdfText>(Title));
    if (Dest) Dict()->Put("Dest", Dest->ToArray());
    if (First) {
        Dict()->Put("First", *First->Dict());
        First->StoreTree();
    }
    if (Last) Dict()->Put("Last", *Last->Dict());
    if (Prev) Dict()->Put("Prev", *Prev->Dict());
    if (Next) {
        Dict()->Put("Next", *Next->Dict());
        Next->StoreTree();
    }
}

TPdfOutlineRoot* TPdfOutlineRoot::Create(TPdfDoc& doc) {
    std::unique_ptr<TPdfOutlineRoot> root(new TPdfOutlineRoot());
    root->Count = 0;
    root->Doc = &doc;
    root->Opened = true;
    root->SetDict(doc.Xref()->Add(std::make_unique<TPdfDictionary>(doc.Xref())));
    root->Dict()->Put("Type", std::make_unique<TPdfName>("Outlines"));
    return doc.AddOwnedObject(std::move(root));
}

void TPdfOutlineRoot::StoreTree() {
    StoreCountAndChildren();
    if (First) {
        Dict()->Put("First", *First->Dict());
        First->StoreTree();
    }
    if (Last) Dict()->Put("Last", *Last->Dict());
}

}  // namespace tovra
