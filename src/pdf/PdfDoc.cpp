#include "pdf/PdfDoc.h"

#include <algorithm>

#include "common/Exceptions.h"

namespace tovra {

TPdfDoc::TPdfDoc() : canvas_(std::make_unique<TPdfCanvas>(this)) {}

TPdfDoc::~TPdfDoc() { ReleaseDocument(); }

void TPdfDoc::StartDocument() {
    ReleaseDocument();
    xref_ = std::make_unique<TPdfXref>();
    header_ = std::make_unique<TPdfHeader>();
    trailer_ = std::make_unique<TPdfTrailer>(xref_.get());
    spooler_ = std::make_unique<TStreamSpooler>(SpoolFolder, CompressionThreadCount(), CompactBitmaps);

    TPdfDictionary* catalog = xref_->Add(std::make_unique<TPdfDictionary>(xref_.get()));
    catalog->Put("Type", std::make_unique<TPdfName>("Catalog"));
    trailer_->Dict().Put("Root", *catalog);
    root_ = AddOwnedObject(std::make_unique<TPdfCatalog>());
    root_->SetDict(catalog);

    if (UseOutlines) {
        outlineRoot_ = TPdfOutlineRoot::Create(*this);
        catalog->Put("Outlines", *outlineRoot_->Dict());
    }

    info_ = CreateInfo();
    info_->SetCreationDate(Clock());

    currentPages_ = CreatePagesNode(nullptr);
    root_->SetPages(*currentPages_);
    hasDocument_ = true;
}

TPdfInfo* TPdfDoc::CreateInfo() {
    TPdfDictionary* dict = xref_->Add(std::make_unique<TPdfDictionary>(xref_.get()));
    dict->Put("Producer", std::make_unique<TPdfText>("VidedODI"));
    trailer_->Dict().Put("Info", *dict);
    TPdfInfo* info = AddOwnedObject(std::make_unique<TPdfInfo>());
    info->SetDict(dict);
    info->DateZone = DateZone;
    return info;
}

void TPdfDoc::StartVirtualDocument() {
    StartDocument();
    AddPage();
    canvas_->IsVirtual = true;
}

void TPdfDoc::ReleaseDocument() {
    if (!hasDocument_ && !xref_) return;
    // Compressions still running refer to nothing here, but end them before the objects go.
    spooler_.reset();
    xobjectsByName_.clear();
    while (!fontList_.empty()) fontList_.pop_back();
    while (!ownedObjects_.empty()) ownedObjects_.pop_back();
    xref_.reset();
    header_.reset();
    trailer_.reset();
    info_ = nullptr;
    root_ = nullptr;
    currentPages_ = nullptr;
    outlineRoot_ = nullptr;
    hasDocument_ = false;
    canvas_->DropPage();
}

TPdfDictionary* TPdfDoc::CreatePagesNode(TPdfDictionary* parent) {
    TPdfDictionary* node = xref_->Add(std::make_unique<TPdfDictionary>(xref_.get()));
    node->Put("Type", std::make_unique<TPdfName>("Pages"));
    node->Put("Kids", std::make_unique<TPdfArray>(xref_.get()));
    node->Put("Count", std::make_unique<TPdfNumber>(0));
    if (parent && TypeNameOf(*parent) == "Pages") {
        AddKid(*parent, *node);
    } else {
        root_->SetPages(*node);
    }
    return node;
}

void TPdfDoc::AddKid(TPdfDictionary& node, TPdfDictionary& kid) {
    TPdfArray* kids = node.ArrayByKey("Kids");
    kids->Add(kid);
    node.NumberByKey("Count")->Value = kids->ItemCount();
}

void TPdfDoc::AddPage() {
    if (!currentPages_) throw EPdfInvalidOperation("AddPage --current pages null.");
    TPdfDictionary* page = xref_->Add(std::make_unique<TPdfDictionary>(xref_.get()));
    AddKid(*currentPages_, *page);
    page->Put("Type", std::make_unique<TPdfName>("Page"));
    page->Put("Parent", *currentPages_);
    page->Put("MediaBox", TPdfArray::CreateFromIntegers(xref_.get(), {0, 0, DefaultPageWidth, DefaultPageHeight}));

    auto resources = std::make_unique<TPdfDictionary>(xref_.get());
    resources->Put("Font", std::make_unique<TPdfDictionary>(xref_.get()));
    resources->Put("XObject", std::make_unique<TPdfDictionary>(xref_.get()));
    auto procSet = std::make_unique<TPdfArray>(xref_.get());
    for (const char* name : {"PDF", "Text", "ImageC"}) procSet->Add(std::make_unique<TPdfName>(name));
    resources->Put("ProcSet", std::move(procSet));
    page->Put("Resources", std::move(resources));

    TPdfStream* contents = xref_->Add(std::make_unique<TPdfStream>(xref_.get()));
    if (CompressionMethod == cmFlateDecode)
        contents->Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("FlateDecode"));
    page->Put("Contents", *contents);
    canvas_->SetPage(page);
}

void TPdfDoc::SaveToStream(TStream& stream) {
    if (!hasDocument_ || !currentPages_ || currentPages_->NumberByKey("Count")->Value == 0)
        throw EPdfInvalidOperation("SaveToStream --there is no document to save.");
    info_->SetModDate(Clock());
    root_->StoreOpenAction();
    if (UseOutlines && outlineRoot_) outlineRoot_->StoreTree();

    stream.SetPosition(0);
    header_->WriteTo(stream);
    for (int i = 1; i < xref_->EntryCount(); ++i) {
        TPdfXrefEntry& entry = xref_->Entries(i);
        entry.Offset = stream.Position();
        if (entry.Offset > kMaxXrefOffset)
            throw EPdfInvalidOperation("SaveToStream --the file is too large: object " + std::to_string(i) +
                                       " starts at byte " + std::to_string(entry.Offset) +
                                       ", beyond the 10 digits of the cross-reference table.");
        entry.Target->WriteIndirect(stream);
    }
    trailer_->XrefOffset = stream.Position();
    if (trailer_->XrefOffset > kMaxXrefOffset)
        throw EPdfInvalidOperation("SaveToStream --the file is too large: the cross-reference table starts at byte " +
                                   std::to_string(trailer_->XrefOffset) + ", beyond 10 digits.");
    xref_->WriteTo(stream);
    trailer_->Dict().NumberByKey("Size")->Value = xref_->EntryCount();
    trailer_->WriteTo(stream);
}

TPdfInfo* TPdfDoc::GetInfo() {
    if (!hasDocument_) throw EPdfInvalidOperation("GetInfo --this method can not use this state..");
    if (!info_) info_ = CreateInfo();
    return info_;
}

TPdfCatalog* TPdfDoc::GetRoot() {
    if (!hasDocument_) throw EPdfInvalidOperation("GetRoot --this method can not use this state..");
    return root_;
}

TPdfOutlineRoot* TPdfDoc::GetOutlineRoot() {
    if (!hasDocument_) throw EPdfInvalidOperation("GetOutlineRoot --document is null..");
    if (!UseOutlines) throw EPdfInvalidOperation("GetOutlineRoot --not use outline mode..");
    return outlineRoot_;
}

TPdfCanvas* TPdfDoc::GetCanvas() {
    if (!hasDocument_) throw EPdfInvalidOperation("GetCanvas --Document is null");
    return canvas_.get();
}

TPdfFont* TPdfDoc::GetFont(const std::string& name) {
    if (!hasDocument_) throw EPdfInvalidOperation("GetFont --document is null.");
    for (const auto& font : fontList_) {
        if (font->RegistryName == name) return font.get();
    }
    return CreateFont(name);
}

TPdfFont* TPdfDoc::CreateFont(const std::string& name) {
    if (!hasDocument_) throw EPdfInvalidOperation("CreateFont --document is null.");
    const TPdfFontFactory* factory = TFontRegistry::Instance().Find(name);
    if (!factory) throw Exception("CreateFont --InvalidFontName:" + name);
    std::unique_ptr<TPdfFont> font = (*factory)(*xref_, name);
    font->Dict()->Put("Name", std::make_unique<TPdfName>("F" + std::to_string(fontList_.size())));
    fontList_.push_back(std::move(font));
    return fontList_.back().get();
}

TPdfDestination* TPdfDoc::CreateDestination() { return AddOwnedObject(std::make_unique<TPdfDestination>(this)); }

TPdfStream* TPdfDoc::FindXObject(const std::string& name) const {
    if (!hasDocument_) return nullptr;
    const auto found = xobjectsByName_.find(name);
    return found == xobjectsByName_.end() ? nullptr : found->second;
}

void TPdfDoc::RegisterXObject(TPdfObject* object, const std::string& name) {
    if (!object) throw EPdfInvalidValue("RegisterXObject --AObject is null");
    auto* stream = dynamic_cast<TPdfStream*>(object);
    if (!stream || TypeNameOf(stream->Dict()) != "XObject") throw EPdfInvalidValue("RegisterXObject --not XObject");
    if (object->ObjectKind() != okIndirect) throw EPdfInvalidValue("RegisterXObject --not registered: " + name);
    if (stream->Dict().ValueByKey("Name")) return;
    if (FindXObject(name)) throw EPdfInvalidValue("RegisterXObject --dupulicate name: " + name);
    stream->Dict().Put("Name", std::make_unique<TPdfName>(name));
    xobjectsByName_.emplace(name, stream);
}

TPdfXObject* TPdfDoc::RegisterXObject(std::unique_ptr<TPdfXObject>&& object, const std::string& name) {
    if (!object) throw EPdfInvalidValue("RegisterXObject --AObject is null");
    if (TypeNameOf(object->Dict()) != "XObject") throw EPdfInvalidValue("RegisterXObject --not XObject");
    if (!xref_) throw EPdfInvalidOperation("RegisterXObject --document is null.");
    TPdfXObject* registered = xref_->Add(std::move(object));
    RegisterXObject(registered, name);
    return registered;
}

TPdfImage* TPdfDoc::AddImage(const std::string& name, std::unique_ptr<TPdfImage>&& image) {
    if (FindXObject(name)) throw Exception("AddImage --the image named " + name + " is already exists..");
    const TPdfName* subtype = image ? image->Dict().NameByKey("Subtype") : nullptr;
    if (!image || TypeNameOf(image->Dict()) != "XObject" || !subtype || subtype->Value != "Image")
        throw Exception("AddImage --the image is not valid TPdfImage..");
    if (!xref_) throw EPdfInvalidOperation("AddImage --document is null.");
    std::vector<TPdfImage::TCompanion> companions = image->TakeCompanions();
    TPdfImage* registered = xref_->Add(std::move(image));
    // The streams it refers to follow it, each linked where the image asked.
    std::vector<TPdfStream*> linked;
    for (TPdfImage::TCompanion& companion : companions) {
        TPdfStream* stream = xref_->Add(std::move(companion.Stream));
        if (companion.AppendTo) {
            companion.AppendTo->Add(*stream);
        } else {
            registered->Dict().Put(companion.Key, *stream);
        }
        linked.push_back(stream);
    }
    RegisterXObject(registered, name);
    header_->MinorVersion = std::max(header_->MinorVersion, registered->RequiredMinorVersion);
    for (TPdfStream* stream : linked) spooler_->Spool(*stream);
    spooler_->Spool(*registered);
    return registered;
}

int TPdfDoc::PdfMinorVersion() const { return header_ ? header_->MinorVersion : TPdfHeader::kBaseMinorVersion; }

TPdfDictionary* ResourceDict(const TPdfDictionary& page, const std::string& key) {
    const TPdfDictionary* resources = page.DictionaryByKey("Resources");
    return resources ? resources->DictionaryByKey(key) : nullptr;
}

}  // namespace tovra
