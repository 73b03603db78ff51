#pragma once
// Writes the content stream of the document's current page and registers the resources it
// uses. Only eight operators are ever written: q, Q, cm, re, W, n, Tf and Do.
#include <cstdint>
#include <optional>
#include <string>

#include "pdf/PdfTypes.h"

namespace tovra {

class TPdfDoc;
class TPdfFont;

// The six numbers of a cm operator: page x = a*u + c*v + e, page y = b*u + d*v + f.
struct TPdfMatrix {
    float a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// A rectangle in page space: lower-left corner, width and height.
struct TPdfBox {
    float x = 0, y = 0, width = 0, height = 0;
};

// The text state of the current page.
class TPdfCanvasAttribute {
public:
    void SetWordSpace(float value);
    void SetCharSpace(float value);
    void SetFontSize(float value);
    void SetHorizontalScaling(uint16_t value);
    void SetLeading(float value);

    float WordSpace() const { return wordSpace_; }
    float CharSpace() const { return charSpace_; }
    float FontSize() const { return fontSize_; }
    float Leading() const { return leading_; }
    uint16_t HorizontalScaling() const { return horizontalScaling_; }

    TPdfFont* Font = nullptr;  // not owned: the document owns its fonts

private:
    float wordSpace_ = 0;
    float charSpace_ = 0;
    float fontSize_ = 0;
    float leading_ = 0;
    uint16_t horizontalScaling_ = 0;
};

class TPdfCanvas {
public:
    explicit TPdfCanvas(TPdfDoc* doc) : doc_(doc) {}

    void SetPage(TPdfDictionary* page);
    TPdfDictionary* GetPage() const;
    TPdfDoc* GetDoc() const;
    // Forgets the current page without saving its text state (the document was released).
    void DropPage();

    bool IsVirtual = false;  // when set, nothing reaches a content stream
    TPdfCanvasAttribute& Attribute() { return attribute_; }

    void SetPageWidth(int32_t width);
    void SetPageHeight(int32_t height);
    void SetFont(const std::string& name, float size);
    void DrawXObject(float x, float y, float width, float height, const std::string& name);
    void DrawXObjectEx(float x, float y, float width, float height, float clipX, float clipY, float clipWidth,
                       float clipHeight, const std::string& name);
    // Draws a registered XObject through any matrix (a picture turned or mirrored upright),
    // clipped to a rectangle when one is given; written like DrawXObjectEx otherwise.
    void DrawXObjectMatrix(const TPdfMatrix& matrix, const std::optional<TPdfBox>& clip, const std::string& name);

    void SaveState();
    void RestoreState();
    void ConcatMatrix(float a, float b, float c, float d, float e, float f);
    void AppendRectangle(float x, float y, float width, float height);
    void SetClip();
    void EndPath();
    void SetFontAndSize(const std::string& name, float size);
    void InvokeXObject(const std::string& name);
    void WriteString(const std::string& text);

private:
    static constexpr uint16_t kDefaultHorizontalScaling = 100;  // percent, what a new page starts with

    void SaveTextState();
    void RestoreTextState();
    void SetMediaBoxElement(int index, int32_t value, const char* failure);
    // Adds the XObject to the page's resources if needed; fails with the caller's message.
    TPdfStream& UseXObject(const std::string& name, const char* operation);

    TPdfStream* contents_ = nullptr;  // the current page's content stream, not owned
    TPdfDictionary* page_ = nullptr;  // not owned
    TPdfDoc* doc_;                    // the owning document
    TPdfCanvasAttribute attribute_;
};

}  // namespace tovra
