// The page canvas: operator text, resources, the virtual mode, page size, the text state and
// its range checks.
#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "pdf/PdfDoc.h"

namespace tovra {
namespace {

using test::Written;

class PdfCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::FixClock(doc);
        doc.StartDocument();
        doc.AddPage();
        doc.AddImage("A", test::MakeImage());
        canvas = doc.GetCanvas();
    }
    std::string Content() { return canvas->GetPage()->StreamByKey("Contents")->Data().Bytes(); }
    TPdfDictionary& Resources(const char* key) { return *ResourceDict(*canvas->GetPage(), key); }

    TPdfDoc doc;
    TPdfCanvas* canvas = nullptr;
};

TEST_F(PdfCanvasTest, NewPageSelectsArialAtTenPoints) {
    EXPECT_EQ(Content(), "/F0 10 Tf\n");
    EXPECT_EQ(Written(Resources("Font")), "<<\r\n/F0 6 0 R\r\n>>");
    const TPdfCanvasAttribute& state = canvas->Attribute();
    EXPECT_EQ(state.Font, doc.GetFont("Arial"));
    EXPECT_EQ(state.FontSize(), 10.0f);
    EXPECT_EQ(state.HorizontalScaling(), 100);
    EXPECT_EQ(state.CharSpace(), 0.0f);
    EXPECT_EQ(canvas->GetDoc(), &doc);
}

TEST_F(PdfCanvasTest, OperatorsWriteExactLines) {
    canvas->SaveState();
    canvas->RestoreState();
    canvas->ConcatMatrix(1, 0.5f, -0.25f, 10.555f, 10.554f, -3);
    canvas->AppendRectangle(0, 0, 595.276f, 0.004f);
    canvas->SetClip();
    canvas->EndPath();
    canvas->SetFontAndSize("/F9", 12.5f);
    canvas->InvokeXObject("Img1");
    EXPECT_EQ(Content(),
              "/F0 10 Tf\nq\nQ\n1 0.5 -0.25 10.56 10.55 -3 cm\n0 0 595.28 0 re\nW\nn\n/F9 12.5 Tf\n/Img1 Do\n");
}

TEST_F(PdfCanvasTest, DrawXObjectWritesOneGroupPerCallAndOneResourceEntry) {
    canvas->DrawXObject(0, 0, 100, 50, "A");
    canvas->DrawXObject(20, 100, 555.5f, 600, "A");
    canvas->DrawXObjectEx(10, 20.5f, 300, 200, 10, 30, 100, 80.25f, "A");
    EXPECT_EQ(Content(),
              "/F0 10 Tf\n"
              "q\n100 0 0 50 0 0 cm\n/A Do\nQ\n"
              "q\n555.5 0 0 600 20 100 cm\n/A Do\nQ\n"
              "q\n10 30 100 80.25 re\nW\nn\n300 0 0 200 10 20.5 cm\n/A Do\nQ\n");
    EXPECT_EQ(Written(Resources("XObject")), "<<\r\n/A 7 0 R\r\n>>");

    const std::string before = Content();
    EXPECT_THROW_MSG(canvas->DrawXObject(0, 0, 1, 1, "B"), EPdfInvalidValue, "DrawXObject --XObject not found: B");
    EXPECT_THROW_MSG(canvas->DrawXObjectEx(0, 0, 1, 1, 0, 0, 1, 1, "B"), EPdfInvalidValue,
                     "DrawXObjectEx --XObject not found: B");
    EXPECT_EQ(Content(), before);
    test::ExpectQpdfClean(test::Saved(doc));
}

TEST_F(PdfCanvasTest, VirtualCanvasRegistersResourcesButWritesNothing) {
    canvas->IsVirtual = true;
    canvas->DrawXObject(0, 0, 100, 50, "A");
    canvas->SetFont("Times-Roman", 12);
    EXPECT_EQ(Content(), "/F0 10 Tf\n");
    EXPECT_EQ(Written(Resources("XObject")), "<<\r\n/A 7 0 R\r\n>>");
    EXPECT_EQ(Written(Resources("Font")), "<<\r\n/F0 6 0 R\r\n/F1 8 0 R\r\n>>");

    TPdfDoc preview;
    preview.StartVirtualDocument();
    EXPECT_TRUE(preview.GetCanvas()->IsVirtual);
    // The page was added before the canvas turned virtual: its font line is there, nothing after.
    preview.GetCanvas()->SaveState();
    EXPECT_EQ(preview.GetCanvas()->GetPage()->StreamByKey("Contents")->Data().Bytes(), "/F0 10 Tf\n");
    EXPECT_NE(ResourceDict(*preview.GetCanvas()->GetPage(), "Font")->ValueByKey("F0"), nullptr);
}

TEST_F(PdfCanvasTest, SetFontWritesOnlyOnChange) {
    canvas->SetFont("Arial", 10);  // same font and size: nothing
    canvas->SetFont("Arial", 12.5f);
    canvas->SetFont("Times-Bold", 12.5f);
    EXPECT_EQ(Content(), "/F0 10 Tf\n/F0 12.5 Tf\n/F1 12.5 Tf\n");
    EXPECT_EQ(Written(Resources("Font")), "<<\r\n/F0 6 0 R\r\n/F1 8 0 R\r\n>>");

    // A size out of range fails after the line is written, with the new font and the old size.
    EXPECT_THROW(canvas->SetFont("FixedWidth", 300.5f), EPdfInvalidValue);
    EXPECT_EQ(Content(), "/F0 10 Tf\n/F0 12.5 Tf\n/F1 12.5 Tf\n/F2 300.5 Tf\n");
    EXPECT_EQ(canvas->Attribute().Font, doc.GetFont("FixedWidth"));
    EXPECT_EQ(canvas->Attribute().FontSize(), 12.5f);
}

TEST_F(PdfCanvasTest, PageSizeChangesTheMediaBoxInPlace) {
    canvas->SetPageWidth(842);
    canvas->SetPageHeight(595);
    EXPECT_EQ(Written(*canvas->GetPage()->ArrayByKey("MediaBox")), "[0 0 842 595 ]");
    canvas->GetPage()->Remove("MediaBox");
    EXPECT_THROW_MSG(canvas->SetPageWidth(1), EPdfInvalidOperation, "Can not chenge width of this page..");
    EXPECT_THROW(canvas->SetPageHeight(1), EPdfInvalidOperation);

    TPdfDoc noPage;
    noPage.StartDocument();
    EXPECT_THROW_MSG(noPage.GetCanvas()->GetPage(), EPdfInvalidOperation, "GetPage --the Page is nil");
    EXPECT_THROW_MSG(noPage.GetCanvas()->SetPageWidth(1), EPdfInvalidOperation, "GetPage --the Page is nil");
    EXPECT_THROW_MSG(noPage.GetCanvas()->SetPageHeight(1), EPdfInvalidOperation, "GetPage --the Page is nil");
    noPage.GetCanvas()->WriteString("q\n");  // silently nothing
}

TEST_F(PdfCanvasTest, TextStateTravelsWithItsPage) {
    TPdfDictionary* first = canvas->GetPage();
    TPdfCanvasAttribute& state = canvas->Attribute();
    canvas->SetFont("Times-Italic", 12.5f);
    state.SetWordSpace(1.25f);
    state.SetCharSpace(-30);
    state.SetHorizontalScaling(150);
    state.SetLeading(0.1f);

    doc.AddPage();  // defaults on the new page
    EXPECT_EQ(state.Font, doc.GetFont("Arial"));
    EXPECT_EQ(state.FontSize(), 10.0f);
    EXPECT_EQ(state.HorizontalScaling(), 100);
    EXPECT_EQ(Content(), "/F0 10 Tf\n");

    const std::string firstContent = first->StreamByKey("Contents")->Data().Bytes();
    canvas->SetPage(first);
    EXPECT_EQ(state.Font, doc.GetFont("Times-Italic"));
    EXPECT_EQ(state.FontSize(), 12.5f);
    EXPECT_EQ(state.WordSpace(), 1.25f);
    EXPECT_EQ(state.CharSpace(), -30.0f);
    EXPECT_EQ(state.HorizontalScaling(), 150);
    EXPECT_EQ(state.Leading(), 0.1f);
    EXPECT_EQ(Content(), firstContent);  // no Tf line on return
    EXPECT_EQ(first->NameByKey("_Font")->Value, "Times-Italic");

    // The saved state is internal: it never reaches the file.
    const std::string file = test::Saved(doc);
    EXPECT_EQ(file.find("_Font"), std::string::npos);
    EXPECT_EQ(file.find("_HScalling"), std::string::npos);
}

TEST_F(PdfCanvasTest, DefaultTextStateIsRestoredThoughNotStoredAndStaleValuesGo) {
    TPdfDictionary* first = canvas->GetPage();
    TPdfCanvasAttribute& state = canvas->Attribute();
    state.SetWordSpace(2);
    state.SetCharSpace(3);
    state.SetHorizontalScaling(120);
    state.SetLeading(4);
    doc.AddPage();
    TPdfDictionary* second = canvas->GetPage();
    canvas->SetPage(first);  // the second page's state, all defaults, is saved here
    EXPECT_EQ(second->ValueByKey("_Word_Space"), nullptr);
    EXPECT_EQ(second->ValueByKey("_HScalling"), nullptr);
    EXPECT_EQ(second->ValueByKey("_Leading"), nullptr);
    ASSERT_NE(second->RealByKey("_Font_Size"), nullptr);

    // Back on the second page, the first page's values must not linger.
    canvas->SetPage(second);
    EXPECT_EQ(state.WordSpace(), 0.0f);
    EXPECT_EQ(state.CharSpace(), 0.0f);
    EXPECT_EQ(state.HorizontalScaling(), 100);
    EXPECT_EQ(state.Leading(), 0.0f);
    EXPECT_EQ(state.FontSize(), 10.0f);

    // The first page returns to defaults: its earlier values are dropped, not restored.
    canvas->SetPage(first);
    EXPECT_EQ(state.WordSpace(), 2.0f);
    EXPECT_EQ(state.HorizontalScaling(), 120);
    state.SetWordSpace(0);
    state.SetCharSpace(0);
    state.SetHorizontalScaling(100);
    state.SetLeading(0);
    canvas->SetPage(second);
    EXPECT_EQ(first->ValueByKey("_Word_Space"), nullptr);
    EXPECT_EQ(first->ValueByKey("_HScalling"), nullptr);
    canvas->SetPage(first);
    EXPECT_EQ(state.WordSpace(), 0.0f);
    EXPECT_EQ(state.CharSpace(), 0.0f);
    EXPECT_EQ(state.HorizontalScaling(), 100);
    EXPECT_EQ(state.Leading(), 0.0f);
}

TEST_F(PdfCanvasTest, ALeftPageKeepsItsContentInAnExactBuffer) {
    TPdfDictionary* first = canvas->GetPage();
    for (int i = 0; i < 40; ++i) canvas->WriteString("q 1 0 0 1 0 0 cm Q\n");
    const std::string content = Content();
    doc.AddPage();
    const TMemoryStream& data = first->StreamByKey("Contents")->Data();
    EXPECT_EQ(data.Bytes(), content);
    EXPECT_EQ(data.Capacity(), data.Bytes().size());

    // Writing to it again still appends after what is there.
    canvas->SetPage(first);
    canvas->WriteString("Q\n");
    EXPECT_EQ(Content(), content + "Q\n");
}

TEST(PdfCanvasAttribute, RangesAreCheckedAndFailuresChangeNothing) {
    TPdfCanvasAttribute state;
    EXPECT_EQ(state.FontSize(), 0.0f);
    EXPECT_EQ(state.Font, nullptr);
    state.SetCharSpace(-30);
    state.SetCharSpace(300);
    EXPECT_THROW_MSG(state.SetCharSpace(-30.01f), EPdfInvalidValue, "SetCharSpace --invalid char space");
    EXPECT_THROW_MSG(state.SetCharSpace(300.01f), EPdfInvalidValue, "SetCharSpace --invalid char space");
    EXPECT_EQ(state.CharSpace(), 300.0f);
    state.SetWordSpace(1000);
    EXPECT_THROW_MSG(state.SetWordSpace(-0.01f), EPdfInvalidValue, "SetWordSpace --invalid word space");
    EXPECT_EQ(state.WordSpace(), 1000.0f);
    state.SetHorizontalScaling(10);
    state.SetHorizontalScaling(300);
    EXPECT_THROW(state.SetHorizontalScaling(9), EPdfInvalidValue);
    EXPECT_THROW(state.SetHorizontalScaling(301), EPdfInvalidValue);
    EXPECT_EQ(state.HorizontalScaling(), 300);
    state.SetFontSize(0);
    state.SetFontSize(300);
    EXPECT_THROW(state.SetFontSize(-0.01f), EPdfInvalidValue);
    EXPECT_THROW(state.SetFontSize(300.01f), EPdfInvalidValue);
    EXPECT_EQ(state.FontSize(), 300.0f);
    state.SetLeading(300);
    EXPECT_THROW(state.SetLeading(-1), EPdfInvalidValue);
    EXPECT_THROW(state.SetLeading(300.5f), EPdfInvalidValue);
    EXPECT_EQ(state.Leading(), 300.0f);
}

TEST(PdfCanvasDoc, CanvasNeedsADocumentAndForgetsThePageOnRelease) {
    TPdfDoc doc;
    EXPECT_THROW_MSG(doc.GetCanvas(), EPdfInvalidOperation, "GetCanvas --Document is null");
    doc.StartDocument();
    doc.AddPage();
    TPdfCanvas* canvas = doc.GetCanvas();
    doc.StartDocument();  // releases the old document
    EXPECT_EQ(doc.GetCanvas(), canvas);
    EXPECT_THROW_MSG(canvas->GetPage(), EPdfInvalidOperation, "GetPage --the Page is nil");
    doc.AddPage();
    EXPECT_EQ(canvas->GetPage()->StreamByKey("Contents")->Data().Bytes(), "/F0 10 Tf\n");
}

}  // namespace
}  // namespace tovra
