#pragma once
// The twelve standard Type 1 fonts. No font program is embedded: a font is a small font
// dictionary naming the base font, plus an in-memory table of character widths.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "pdf/ClassRegistry.h"
#include "pdf/PdfFontWidths.h"
#include "pdf/PdfWrappers.h"

namespace tovra {

class TPdfFont : public TPdfDictionaryWrapper {
public:
    explicit TPdfFont(std::string registryName) : RegistryName(std::move(registryName)) {}
    // Width of the byte at the 1-based position, in thousandths of the font size.
    virtual uint16_t GetCharWidth(const std::string& text, int position) const;
    const std::string RegistryName;
};

class TPdfType1Font : public TPdfFont {
public:
    using TPdfFont::TPdfFont;
    void SetDict(TPdfDictionary* dict) override;
    uint16_t GetCharWidth(const std::string& text, int position) const override;

    uint8_t FirstChar = 0;
    uint8_t LastChar = 0;
    std::array<uint16_t, 256> CharWidths{};

protected:
    // Builds and registers the font dictionary with its base font and widths of codes 32..255.
    void Build(TPdfObjectMgr& objectMgr, const char* baseFont, const TFontWidthTable& widths);
};

#define TOVRA_DECLARE_FONT(ClassName)                                   \
    class ClassName : public TPdfType1Font {                            \
    public:                                                             \
        ClassName(TPdfObjectMgr& objectMgr, const std::string& name);   \
    };
TOVRA_DECLARE_FONT(TPdfFixedWidth)
TOVRA_DECLARE_FONT(TPdfFixedWidthBold)
TOVRA_DECLARE_FONT(TPdfFixedWidthItalic)
TOVRA_DECLARE_FONT(TPdfFixedWidthBoldItalic)
TOVRA_DECLARE_FONT(TPdfArial)
TOVRA_DECLARE_FONT(TPdfArialBold)
TOVRA_DECLARE_FONT(TPdfArialItalic)
TOVRA_DECLARE_FONT(TPdfArialBoldItalic)
TOVRA_DECLARE_FONT(TPdfTimesRoman)
TOVRA_DECLARE_FONT(TPdfTimesBold)
TOVRA_DECLARE_FONT(TPdfTimesItalic)
TOVRA_DECLARE_FONT(TPdfTimesBoldItalic)
#undef TOVRA_DECLARE_FONT

using TPdfFontFactory = std::function<std::unique_ptr<TPdfFont>(TPdfObjectMgr&, const std::string&)>;
using TFontRegistry = TClassRegistry<TPdfFontFactory>;

// Enter the twelve font classes in the class registry, and remove them again.
void RegisterStandardFonts();
void UnregisterStandardFonts();

}  // namespace tovra
