#include "pdf/PdfCanvas.h"

#include "common/Exceptions.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfFonts.h"

namespace tovra {

// ---- text state -----------------------------------------------------------------------------

void TPdfCanvasAttribute::SetWordSpace(float value) {
    if (value < 0) throw EPdfInvalidValue("SetWordSpace --invalid word space");
    wordSpace_ = value;
}

void TPdfCanvasAttribute::SetCharSpace(float value) {
    if (value < -30 || value > 300) throw EPdfInvalidValue("SetCharSpace --invalid char space");
    charSpace_ = value;
}

void TPdfCanvasAttribute::SetFontSize(float value) {
    if (value < 0 || value > 300) throw EPdfInvalidValue("SetFontSize --invalid font size");
    fontSize_ = value;
}

void TPdfCanvasAttribute::SetHorizontalScaling(uint16_t value) {
    if (value < 10 || value > 300) throw EPdfInvalidValue("SetHorizontalScaling --invalid horizontal scaling");
    horizontalScaling_ = value;
}

void TPdfCanvasAttribute::SetLeading(float value) {
    if (value < 0 || value > 300) throw EPdfInvalidValue("SetLeading --invalid leading");
    leading_ = value;
}

// ---- pages ----------------------------------------------------------------------------------

void TPdfCanvas::SaveTextState() {
    // Every page keeps its text state until the document is saved, so values equal to what
    // RestoreTextState assumes for a missing entry (0, and 100 for the scaling) are not stored.
    page_->PutInternal("_Font", std::make_unique<TPdfName>(attribute_.Font ? attribute_.Font->RegistryName : ""));
    page_->PutInternal("_Font_Size", std::make_unique<TPdfReal>(attribute_.FontSize()));
    auto putReal = [this](const char* key, float value) {
        if (value == 0) {
            page_->Remove(key);
        } else {
            page_->PutInternal(key, std::make_unique<TPdfReal>(value));
        }
    };
    putReal("_Word_Space", attribute_.WordSpace());
    putReal("_Char_Space", attribute_.CharSpace());
    if (attribute_.HorizontalScaling() == kDefaultHorizontalScaling) {
        page_->Remove("_HScalling");
    } else {
        page_->PutInternal("_HScalling", std::make_unique<TPdfNumber>(attribute_.HorizontalScaling()));
    }
    putReal("_Leading", attribute_.Leading());
}

void TPdfCanvas::RestoreTextState() {
    attribute_.Font = doc_->GetFont(page_->NameByKey("_Font")->Value);
    auto real = [this](const char* key) {
        const TPdfReal* value = page_->RealByKey(key);
        return value ? static_cast<float>(value->Value) : 0.0f;
    };
    attribute_.SetFontSize(real("_Font_Size"));
    attribute_.SetWordSpace(real("_Word_Space"));
    attribute_.SetCharSpace(real("_Char_Space"));
    const TPdfNumber* scaling = page_->NumberByKey("_HScalling");
    attribute_.SetHorizontalScaling(static_cast<uint16_t>(scaling ? scaling->Value : kDefaultHorizontalScaling));
    attribute_.SetLeading(real("_Leading"));
}

void TPdfCanvas::SetPage(TPdfDictionary* page) {
    if (page_) {
        SaveTextState();
        // The page stays in memory until the save: its content stream gives back the room
        // it grew into (writing to the page again grows it anew).
        if (contents_) contents_->Data().ShrinkToFit();
    }
    page_ = page;
    contents_ = page ? page->StreamByKey("Contents") : nullptr;
    if (!page_) return;
    if (page_->NameByKey("_Font")) {
        RestoreTextState();
        return;
    }
    attribute_.Font = nullptr;
    SetFont("Arial", 10);
    attribute_.SetCharSpace(0);
    attribute_.SetWordSpace(0);
    attribute_.SetHorizontalScaling(kDefaultHorizontalScaling);
    attribute_.SetLeading(0);
}

TPdfDictionary* TPdfCanvas::GetPage() const {
    if (!page_) throw EPdfInvalidOperation("GetPage --the Page is nil");
    return page_;
}

TPdfDoc* TPdfCanvas::GetDoc() const {
    if (!doc_) throw EPdfInvalidOperation("ERROR: GetDoc documant is nil.");
    return doc_;
}

void TPdfCanvas::DropPage() {
    page_ = nullptr;
    contents_ = nullptr;
}

void TPdfCanvas::SetMediaBoxElement(int index, int32_t value, const char* failure) {
    TPdfArray* mediaBox = GetPage()->ArrayByKey("MediaBox");
    auto* element = mediaBox && mediaBox->ItemCount() > index ? dynamic_cast<TPdfNumber*>(mediaBox->Items(index)) : nullptr;
    if (!element) throw EPdfInvalidOperation(failure);
    element->Value = value;
}

void TPdfCanvas::SetPageWidth(int32_t width) { SetMediaBoxElement(2, width, "Can not chenge width of this page.."); }

void TPdfCanvas::SetPageHeight(int32_t height) {
    SetMediaBoxElement(3, height, "Can not change height of this page..");
}

// ---- resources and drawing ------------------------------------------------------------------

void TPdfCanvas::SetFont(const std::string& name, float size) {
    TPdfFont* font = doc_->GetFont(name);
    if (font == attribute_.Font && size == attribute_.FontSize()) return;
    const std::string resourceName = font->Dict()->NameByKey("Name")->Value;
    TPdfDictionary* fonts = ResourceDict(*GetPage(), "Font");
    if (fonts && !fonts->ValueByKey(resourceName)) fonts->Put(resourceName, *font->Dict());
    if (contents_) SetFontAndSize("/" + resourceName, size);
    attribute_.Font = font;
    attribute_.SetFontSize(size);
}

TPdfStream& TPdfCanvas::UseXObject(const std::string& name, const char* operation) {
    TPdfStream* xobject = doc_->FindXObject(name);
    if (!xobject) throw EPdfInvalidValue(std::string(operation) + " --XObject not found: " + name);
    TPdfDictionary* xobjects = ResourceDict(*GetPage(), "XObject");
    if (xobjects && !xobjects->ValueByKey(name)) xobjects->Put(name, *xobject);
    return *xobject;
}

void TPdfCanvas::DrawXObject(float x, float y, float width, float height, const std::string& name) {
    TPdfStream& xobject = UseXObject(name, "DrawXObject");
    SaveState();
    ConcatMatrix(width, 0, 0, height, x, y);
    InvokeXObject(xobject.Dict().NameByKey("Name")->Value);
    RestoreState();
}

void TPdfCanvas::DrawXObjectEx(float x, float y, float width, float height, float clipX, float clipY,
                               float clipWidth, float clipHeight, const std::string& name) {
    UseXObject(name, "DrawXObjectEx");
    SaveState();
    AppendRectangle(clipX, clipY, clipWidth, clipHeight);
    SetClip();
    EndPath();
    ConcatMatrix(width, 0, 0, height, x, y);
    InvokeXObject(name);
    RestoreState();
}

void TPdfCanvas::DrawXObjectMatrix(const TPdfMatrix& matrix, const std::optional<TPdfBox>& clip,
                                   const std::string& name) {
    UseXObject(name, "DrawXObjectMatrix");
    SaveState();
    if (clip) {
        AppendRectangle(clip->x, clip->y, clip->width, clip->height);
        SetClip();
        EndPath();
    }
    ConcatMatrix(matrix.a, matrix.b, matrix.c, matrix.d, matrix.e, matrix.f);
    InvokeXObject(name);
    RestoreState();
}

// ---- operators ------------------------------------------------------------------------------

void TPdfCanvas::SaveState() { WriteString("q\n"); }
void TPdfCanvas::RestoreState() { WriteString("Q\n"); }
void TPdfCanvas::SetClip() { WriteString("W\n"); }
void TPdfCanvas::EndPath() { WriteString("n\n"); }

void TPdfCanvas::ConcatMatrix(float a, float b, float c, float d, float e, float f) {
    WriteString(RealToText(a) + " " + RealToText(b) + " " + RealToText(c) + " " + RealToText(d) + " " +
                RealToText(e) + " " + RealToText(f) + " cm\n");
}

void TPdfCanvas::AppendRectangle(float x, float y, float width, float height) {
    WriteString(RealToText(x) + " " + RealToText(y) + " " + RealToText(width) + " " + RealToText(height) + " re\n");
}

void TPdfCanvas::SetFontAndSize(const std::string& name, float size) {
    WriteString(name + " " + RealToText(size) + " Tf\n");
}

void TPdfCanvas::InvokeXObject(const std::string& name) { WriteString("/" + name + " Do\n"); }

void TPdfCanvas::WriteString(const std::string& text) {
    if (!IsVirtual && contents_) contents_->Data().Write(text);
}

}  // namespace tovra
