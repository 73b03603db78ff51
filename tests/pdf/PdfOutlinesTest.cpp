// Destinations (page, view kind, numbers, zoom), the open action and the outline tree.
#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "pdf/PdfDoc.h"

namespace tovra {
namespace {

using test::ObjectBody;
using test::Saved;
using test::Written;

class PdfOutlines : public ::testing::Test {
protected:
    void SetUp() override {
        test::FixClock(doc);
        doc.StartDocument();
        doc.AddPage();  // page object 4
    }
    TPdfDoc doc;
};

TEST_F(PdfOutlines, DestinationNeedsAStartedDocumentWithAPage) {
    EXPECT_THROW_MSG(TPdfDestination(nullptr), EPdfInvalidOperation, "TPdfDestination --cannot destination object.");
    TPdfDoc empty;
    EXPECT_THROW_MSG(empty.CreateDestination(), EPdfInvalidOperation, "TPdfDestination --cannot destination object.");
    empty.StartDocument();
    EXPECT_THROW_MSG(empty.CreateDestination(), EPdfInvalidOperation, "GetPage --the Page is nil");
}

TEST_F(PdfOutlines, DestinationArraysForEveryKind) {
    TPdfDestination* dest = doc.CreateDestination();
    EXPECT_EQ(Written(*dest->ToArray()), "[4 0 R /XYZ 0 0 1 ]");
    dest->SetElement(0, 10);
    dest->SetElement(1, 20);
    dest->SetElement(2, 30);
    dest->SetElement(3, 40);
    const struct {
        TPdfDestinationKind kind;
        const char* array;
    } rows[] = {
        {dkXYZ, "[4 0 R /XYZ 10 20 1 ]"},       {dkFit, "[4 0 R /Fit ]"},
        {dkFitH, "[4 0 R /FitH 20 ]"},          {dkFitV, "[4 0 R /FitV 10 ]"},
        {dkFitR, "[4 0 R /FitR 10 40 30 20 ]"}, {dkFitB, "[4 0 R /FitB ]"},
        {dkFitBH, "[4 0 R /FitBH 20 ]"},        {dkFitBV, "[4 0 R /FitBV 10 ]"},
    };
    for (const auto& row : rows) {
        dest->Kind = row.kind;
        EXPECT_EQ(Written(*dest->ToArray()), row.array);
    }

    // Negative numbers are stored as -1: left and top stay numbers, right and bottom become null.
    dest->Kind = dkFitR;
    for (int i = 0; i < 4; ++i) dest->SetElement(i, -10);
    EXPECT_EQ(dest->Element(0), -1);
    EXPECT_EQ(Written(*dest->ToArray()), "[4 0 R /FitR -1 null null -1 ]");
    dest->Kind = dkXYZ;
    EXPECT_EQ(Written(*dest->ToArray()), "[4 0 R /XYZ -1 -1 1 ]");
}

TEST_F(PdfOutlines, ZoomRangeAndItsExactWidenedValue) {
    TPdfDestination* dest = doc.CreateDestination();
    dest->SetZoom(10);
    EXPECT_EQ(dest->Zoom(), 10.0f);
    EXPECT_THROW_MSG(dest->SetZoom(10.5f), EPdfInvalidValue, "Zoom property cannot set to over 10.");
    EXPECT_THROW_MSG(dest->SetZoom(-0.1f), EPdfInvalidValue, "Zoom property cannot set to under 0.");
    EXPECT_EQ(dest->Zoom(), 10.0f);
    dest->SetZoom(0);
    EXPECT_EQ(Written(*dest->ToArray()), "[4 0 R /XYZ 0 0 0 ]");
    dest->SetZoom(0.5f);
    EXPECT_EQ(Written(*dest->ToArray()), "[4 0 R /XYZ 0 0 0.5 ]");
    dest->SetZoom(0.1f);
    EXPECT_EQ(Written(*dest->ToArray()), "[4 0 R /XYZ 0 0 0.100000001490116 ]");
}

TEST_F(PdfOutlines, OpenActionIsStoredOnEverySaveAndDroppedWhenCleared) {
    TPdfDestination* dest = doc.CreateDestination();
    EXPECT_EQ(dest->PageHeight(), 842);
    dest->SetElement(1, dest->PageHeight() + 10);
    doc.GetRoot()->OpenAction = dest;
    std::string file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 1), "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n/OpenAction [4 0 R /XYZ 0 852 1 ]\r\n>>");
    test::ExpectQpdfClean(file);

    doc.GetCanvas()->SetPageHeight(500);
    EXPECT_EQ(dest->PageHeight(), 500);
    dest->SetElement(1, 490);
    file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 1), "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n/OpenAction [4 0 R /XYZ 0 490 1 ]\r\n>>");

    doc.GetRoot()->OpenAction = nullptr;
    EXPECT_EQ(ObjectBody(Saved(doc), 1), "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n>>");

    doc.GetCanvas()->GetPage()->Remove("MediaBox");
    EXPECT_EQ(dest->PageHeight(), 842);  // the document's default
}

TEST(PdfOutlineTree, RootAndItemsStoreTheirEntriesWhenSaved) {
    EXPECT_THROW_MSG(TPdfOutlineEntry::CreateEntry(nullptr), Exception, "CreateEntry --invalid parent.");

    TPdfDoc doc;
    test::FixClock(doc);
    doc.UseOutlines = true;
    doc.StartDocument();
    doc.AddPage();  // page 5, contents 6, font 7
    TPdfOutlineRoot* root = doc.GetOutlineRoot();
    EXPECT_EQ(root->Dict()->ObjectNumber(), 2);
    EXPECT_TRUE(root->Opened);
    EXPECT_EQ(ObjectBody(Saved(doc), 2), "<<\r\n/Type /Outlines\r\n/Count 0\r\n>>");

    TPdfOutlineEntry* first = TPdfOutlineEntry::CreateEntry(root);  // 8
    TPdfOutlineEntry* second = TPdfOutlineEntry::CreateEntry(root);  // 9
    EXPECT_EQ(first->Doc, &doc);
    EXPECT_EQ(first->Parent, root);
    EXPECT_EQ(root->First, nullptr);  // not linked by CreateEntry
    root->First = first;
    root->Last = second;
    root->Count = 2;
    first->Next = second;
    second->Prev = first;
    first->Title = "Intro (1)";
    first->Dest = doc.CreateDestination();
    first->Dest->Kind = dkFit;
    second->Title = "Caf\xC3\xA9";
    second->Count = 3;  // closed: written negative

    const std::string file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 2), "<<\r\n/Type /Outlines\r\n/Count 2\r\n/First 8 0 R\r\n/Last 9 0 R\r\n>>");
    EXPECT_EQ(ObjectBody(file, 8),
              "<<\r\n/Count 0\r\n/Title (Intro \\(1\\))\r\n/Dest [5 0 R /Fit ]\r\n/Next 9 0 R\r\n>>");
    EXPECT_EQ(ObjectBody(file, 9), "<<\r\n/Count -3\r\n/Title <FEFF00430061006600E9>\r\n/Prev 8 0 R\r\n>>");
    EXPECT_EQ(Saved(doc), file);  // storing again replaces the entries
}

}  // namespace
}  // namespace tovra
