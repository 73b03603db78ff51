// The twelve standard Type 1 fonts: base font names, width tables and the font dictionary.
#include "PdfTestUtil.h"
#include "pdf/PdfDoc.h"

namespace tovra {
namespace {

constexpr int kCodes[] = {32,  48,  65,  77,  87,  97,  105, 109, 128, 160, 255,
                          64,  39,  9,   127, 129, 141, 143, 144, 157, 173};

struct FontRow {
    const char* name;
    const char* baseFont;
    std::vector<int> widths;  // in the order of kCodes
};

std::vector<FontRow> Rows() {
    const std::vector<int> courier = {600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600,
                                      600, 600, 0,   600, 600, 600, 600, 600, 600, 600};
    const std::vector<int> zeros = {0, 0, 0, 0, 0, 0, 0};  // codes 127 129 141 143 144 157 173
    auto with = [&](std::vector<int> telling) {
        telling.push_back(0);  // tab
        telling.insert(telling.end(), zeros.begin(), zeros.end());
        return telling;
    };
    const auto helvetica = with({278, 556, 667, 833, 944, 556, 222, 833, 556, 0, 500, 1015, 191});
    const auto helveticaBold = with({278, 556, 722, 833, 944, 556, 278, 889, 556, 0, 556, 975, 238});
    return {
        {"FixedWidth", "Courier", courier},
        {"FixedWidth-Bold", "Courier-Bold", courier},
        {"FixedWidth-Italic", "Courier-Oblique", courier},
        {"FixedWidth-BoldItalic", "Courier-BoldOblique", courier},
        {"Arial", "Helvetica", helvetica},
        {"Arial-Bold", "Helvetica-Bold", helveticaBold},
        {"Arial-Italic", "Helvetica-Oblique", helvetica},
        {"Arial-BoldItalic", "Helvetica-BoldOblique", helveticaBold},
        {"Times-Roman", "Times-Roman", with({250, 500, 722, 889, 944, 444, 278, 778, 500, 0, 500, 921, 180})},
        {"Times-Bold", "Times-Bold", with({250, 500, 722, 944, 1000, 500, 278, 833, 500, 0, 500, 930, 278})},
        {"Times-Italic", "Times-Italic", with({250, 500, 611, 833, 833, 500, 278, 722, 500, 0, 444, 920, 214})},
        {"Times-BoldItalic", "Times-BoldItalic", with({250, 500, 667, 889, 889, 500, 278, 778, 500, 0, 444, 832, 278})},
    };
}

TEST(PdfFonts, EveryFontHasItsBaseFontAndTellingWidths) {
    for (const auto& row : Rows()) {
        TPdfDoc doc;
        doc.StartDocument();
        TPdfFont* font = doc.CreateFont(row.name);
        EXPECT_EQ(font->RegistryName, row.name);
        EXPECT_EQ(test::Written(*font->Dict()),
                  std::string("<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar 32\r\n"
                              "/LastChar 255\r\n/BaseFont /") +
                      row.baseFont + "\r\n/Name /F0\r\n>>");
        for (size_t i = 0; i < std::size(kCodes); ++i) {
            const std::string text = "x" + std::string(1, static_cast<char>(kCodes[i]));
            EXPECT_EQ(font->GetCharWidth(text, 2), row.widths[i]) << row.name << " code " << kCodes[i];
        }
    }
}

TEST(PdfFonts, ObliqueHelveticaSharesTheUprightWidths) {
    TPdfDoc doc;
    doc.StartDocument();
    TPdfFont* arial = doc.GetFont("Arial");
    TPdfFont* italic = doc.GetFont("Arial-Italic");
    TPdfFont* bold = doc.GetFont("Arial-Bold");
    TPdfFont* boldItalic = doc.GetFont("Arial-BoldItalic");
    for (int code = 0; code < 256; ++code) {
        const std::string text(1, static_cast<char>(code));
        EXPECT_EQ(italic->GetCharWidth(text, 1), arial->GetCharWidth(text, 1)) << code;
        EXPECT_EQ(boldItalic->GetCharWidth(text, 1), bold->GetCharWidth(text, 1)) << code;
        if (code < 32) {
            EXPECT_EQ(arial->GetCharWidth(text, 1), 0) << code;
        }
    }
    EXPECT_EQ(italic->Dict()->NameByKey("Name")->Value, "F1");
    EXPECT_EQ(italic->Dict()->NameByKey("BaseFont")->Value, "Helvetica-Oblique");
    // The widths live in memory only.
    EXPECT_EQ(italic->Dict()->ArrayByKey("Widths")->ItemCount(), 224);
}

}  // namespace
}  // namespace tovra
