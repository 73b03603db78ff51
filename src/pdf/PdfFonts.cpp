#include "pdf/PdfFonts.h"

#include <vector>

namespace tovra {

uint16_t TPdfFont::GetCharWidth(const std::string&, int) const { return 0; }

void TPdfType1Font::SetDict(TPdfDictionary* dict) {
    TPdfFont::SetDict(dict);
    const TPdfNumber* missing = dict->NumberByKey("MissingWidth");
    CharWidths.fill(missing ? static_cast<uint16_t>(missing->Value) : 0);
    const TPdfNumber* first = dict->NumberByKey("FirstChar");
    const TPdfNumber* last = dict->NumberByKey("LastChar");
    FirstChar = first ? static_cast<uint8_t>(first->Value) : 0;
    LastChar = last ? static_cast<uint8_t>(last->Value) : 0;
    if (const TPdfArray* widths = dict->ArrayByKey("Widths")) {
        for (int i = 0; i < widths->ItemCount() && FirstChar + i < 256; ++i) {
            if (const auto* width = dynamic_cast<const TPdfNumber*>(widths->Items(i)))
                CharWidths[static_cast<size_t>(FirstChar + i)] = static_cast<uint16_t>(width->Value);
        }
    }
}

uint16_t TPdfType1Font::GetCharWidth(const std::string& text, int position) const {
    if (position < 1 || static_cast<size_t>(position) > text.size()) return 0;
    return CharWidths[static_cast<unsigned char>(text[static_cast<size_t>(position - 1)])];
}

void TPdfType1Font::Build(TPdfObjectMgr& objectMgr, const char* baseFont, const TFontWidthTable& widths) {
    TPdfDictionary* dict = objectMgr.Add(std::make_unique<TPdfDictionary>(&objectMgr));
    AddStrElements(*dict, {{"Type", "Font"}, {"Subtype", "Type1"}, {"Encoding", "WinAnsiEncoding"}});
    AddIntElements(*dict, {{"FirstChar", 32}, {"LastChar", 255}});
    dict->Put("BaseFont", std::make_unique<TPdfName>(baseFont));
    dict->PutInternal("Widths", TPdfArray::CreateFromIntegers(&objectMgr, std::vector<int32_t>(widths.begin(), widths.end())));
    SetDict(dict);
}

#define TOVRA_DEFINE_FONT(ClassName, BaseFont, Widths)                                           \
    ClassName::ClassName(TPdfObjectMgr& objectMgr, const std::string& name) : TPdfType1Font(name) { \
        Build(objectMgr, BaseFont, Widths);                                                       \
    }
TOVRA_DEFINE_FONT(TPdfFixedWidth, "Courier", kCourierWidths)
TOVRA_DEFINE_FONT(TPdfFixedWidthBold, "Courier-Bold", kCourierWidths)
TOVRA_DEFINE_FONT(TPdfFixedWidthItalic, "Courier-Oblique", kCourierWidths)
TOVRA_DEFINE_FONT(TPdfFixedWidthBoldItalic, "Courier-BoldOblique", kCourierWidths)
TOVRA_DEFINE_FONT(TPdfArial, "Helvetica", kHelveticaWidths)
TOVRA_DEFINE_FONT(TPdfArialBold, "Helvetica-Bold", kHelveticaBoldWidths)
TOVRA_DEFINE_FONT(TPdfArialItalic, "Helvetica-Oblique", kHelveticaWidths)
TOVRA_DEFINE_FONT(TPdfArialBoldItalic, "Helvetica-BoldOblique", kHelveticaBoldWidths)
TOVRA_DEFINE_FONT(TPdfTimesRoman, "Times-Roman", kTimesRomanWidths)
TOVRA_DEFINE_FONT(TPdfTimesBold, "Times-Bold", kTimesBoldWidths)
TOVRA_DEFINE_FONT(TPdfTimesItalic, "Times-Italic", kTimesItalicWidths)
TOVRA_DEFINE_FONT(TPdfTimesBoldItalic, "Times-BoldItalic", kTimesBoldItalicWidths)
#undef TOVRA_DEFINE_FONT

namespace {

template <class Font>
TPdfFontFactory FactoryOf() {
    return [](TPdfObjectMgr& objectMgr, const std::string& name) -> std::unique_ptr<TPdfFont> {
        return std::make_unique<Font>(objectMgr, name);
    };
}

struct FontClass {
    const char* Name;
    TPdfFontFactory Factory;
};

std::vector<FontClass> FontClasses() {
    return {
        {"FixedWidth", FactoryOf<TPdfFixedWidth>()},
        {"FixedWidth-Bold", FactoryOf<TPdfFixedWidthBold>()},
        {"FixedWidth-BoldItalic", FactoryOf<TPdfFixedWidthBoldItalic>()},
        {"FixedWidth-Italic", FactoryOf<TPdfFixedWidthItalic>()},
        {"Arial", FactoryOf<TPdfArial>()},
        {"Arial-Bold", FactoryOf<TPdfArialBold>()},
        {"Arial-BoldItalic", FactoryOf<TPdfArialBoldItalic>()},
        {"Arial-Italic", FactoryOf<TPdfArialItalic>()},
        {"Times-Roman", FactoryOf<TPdfTimesRoman>()},
        {"Times-Bold", FactoryOf<TPdfTimesBold>()},
        {"Times-Italic", FactoryOf<TPdfTimesItalic>()},
        {"Times-BoldItalic", FactoryOf<TPdfTimesBoldItalic>()},
    };
}

}  // namespace

void RegisterStandardFonts() {
    for (auto& font : FontClasses()) TFontRegistry::Instance().Register(font.Name, std::move(font.Factory));
}

void UnregisterStandardFonts() {
    for (const auto& font : FontClasses()) TFontRegistry::Instance().Unregister(font.Name);
}

}  // namespace tovra
