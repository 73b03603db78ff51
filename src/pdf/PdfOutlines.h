#pragma once
// Destinations (a page and a view of it) and the document outline.
#include <array>
#include <memory>
#include <string>

#include "pdf/PdfWrappers.h"

namespace tovra {

class TPdfDoc;

enum TPdfDestinationKind : uint8_t { dkXYZ, dkFit, dkFitH, dkFitV, dkFitR, dkFitB, dkFitBH, dkFitBV };

class TPdfDestination : public TPdfOwnedObject {
public:
    // A destination showing the current page of the document's canvas.
    explicit TPdfDestination(TPdfDoc* doc);

    int32_t Element(int index) const { return values_.at(static_cast<size_t>(index)); }
    void SetElement(int index, int32_t value);
    float Zoom() const { return zoom_; }
    void SetZoom(float value);
    // Height of the page in points: the MediaBox's fourth number, or the document default.
    int32_t PageHeight() const;
    std::unique_ptr<TPdfArray> ToArray() const;
    TPdfDictionary* Page() const { return page_; }
    TPdfDoc* Doc() const { return doc_; }

    TPdfDestinationKind Kind = dkXYZ;
    std::unique_ptr<TPdfOwnedObject> Wrapper;  // the report-level object pointing back here

private:
    TPdfDoc* doc_;
    TPdfDictionary* page_;
    std::array<int32_t, 4> values_{};  // left, top, right, bottom
    float zoom_ = 1.0f;
};

class TPdfOutlineEntry : public TPdfDictionaryWrapper {
public:
    // Makes an item below the parent (not linked into the parent's children).
    static TPdfOutlineEntry* CreateEntry(TPdfOutlineEntry* parent);
    virtual void StoreTree();

    TPdfOutlineEntry* Parent = nullptr;
    TPdfOutlineEntry* Next = nullptr;
    TPdfOutlineEntry* Prev = nullptr;
    TPdfOutlineEntry* First = nullptr;
    TPdfOutlineEntry* Last = nullptr;
    TPdfDestination* Dest = nullptr;
    TPdfDoc* Doc = nullptr;
    std::string Title;
    bool Opened = false;
    int32_t Count = 0;
    std::unique_ptr<TPdfOwnedObject> Wrapper;

protected:
    TPdfOutlineEntry() = default;
    void StoreCountAndChildren();
};

class TPdfOutlineRoot : public TPdfOutlineEntry {
public:
    // Makes the root, registers its dictionary and hands itself to the document's owned objects.
    static TPdfOutlineRoot* Create(TPdfDoc& doc);
    void StoreTree() override;
};

}  // namespace tovra
