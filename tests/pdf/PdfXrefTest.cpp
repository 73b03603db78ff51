// The cross-reference table and the layout of a saved file: header, objects, xref, trailer.
#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfXref.h"

namespace tovra {
namespace {

using test::FixClock;
using test::Saved;
using test::Written;

TEST(PdfXref, NewTableNumbersObjectsInOrderAndRefusesNonDirectObjects) {
    TPdfXref xref;
    EXPECT_EQ(xref.EntryCount(), 1);
    EXPECT_EQ(xref.ObjectByNumber(0), nullptr);
    TMemoryStream empty;
    xref.WriteTo(empty);
    EXPECT_EQ(empty.Bytes(), "xref\r\n0 1\r\n0000000000 65535 f\r\n");

    auto* first = xref.Add(std::make_unique<TPdfNull>());
    auto* second = xref.Add(std::make_unique<TPdfNull>());
    EXPECT_EQ(first->ObjectNumber(), 1);
    EXPECT_EQ(second->ObjectNumber(), 2);
    EXPECT_EQ(second->ObjectKind(), okIndirect);
    EXPECT_EQ(xref.ObjectByNumber(2), second);
    EXPECT_EQ(xref.Entries(2).Mark, 'n');
    EXPECT_EQ(xref.Entries(2).Offset, -1);

    // Registering an already registered object, or a placeholder, fails and changes nothing.
    std::unique_ptr<TPdfObject> again(first);
    EXPECT_THROW_MSG(xref.AddObject(std::move(again)), EPdfInvalidOperation, "AddObject --wrong object type.");
    EXPECT_EQ(again.release(), first);  // still owned by the table
    auto placeholder = TPdfVirtualObject::CreateVirtual(1);
    EXPECT_THROW_MSG(xref.Add(std::move(placeholder)), EPdfInvalidOperation, "AddObject --wrong object type.");
    EXPECT_NE(placeholder, nullptr);  // a refused object stays with the caller
    EXPECT_EQ(xref.EntryCount(), 3);
    EXPECT_EQ(first->ObjectNumber(), 1);
    EXPECT_THROW(xref.ObjectByNumber(3), EListError);

    // Offsets are padded to ten digits, generations to five; negative offsets count as 0.
    xref.Entries(1).Offset = 11;
    TMemoryStream out;
    xref.WriteTo(out);
    EXPECT_EQ(out.Bytes(),
              "xref\r\n0 3\r\n0000000000 65535 f\r\n0000000011 00000 n\r\n0000000000 00000 n\r\n");
}

TEST(PdfXref, EntriesStayInPlaceAndInOrderAsTheTableGrows) {
    TPdfXref xref;
    auto* first = xref.Add(std::make_unique<TPdfNumber>(1));
    TPdfXrefEntry* firstEntry = &xref.Entries(1);
    for (int i = 2; i <= 5000; ++i) {
        auto* object = xref.Add(std::make_unique<TPdfNumber>(i));
        ASSERT_EQ(object->ObjectNumber(), i);
    }
    EXPECT_EQ(&xref.Entries(1), firstEntry);
    EXPECT_EQ(firstEntry->Target.get(), first);
    EXPECT_EQ(xref.EntryCount(), 5001);
    EXPECT_EQ(static_cast<TPdfNumber*>(xref.ObjectByNumber(4321))->Value, 4321);
    EXPECT_EQ(xref.Entries(0).Generation, 65535);
    EXPECT_EQ(xref.Entries(0).Mark, 'f');
    EXPECT_EQ(xref.Entries(5000).Mark, 'n');
}

TEST(PdfXref, ReferencesAndNumbersStaySmall) {
    // A long batch keeps several of these per page until the save; on 64-bit systems they
    // fit the smallest heap blocks.
    if constexpr (sizeof(void*) == 8) {
        EXPECT_LE(sizeof(TPdfObject), 16u);
        EXPECT_LE(sizeof(TPdfNumber), 24u);
        EXPECT_LE(sizeof(TPdfReal), 24u);
        EXPECT_LE(sizeof(TPdfXrefEntry), 24u);
    }
    TPdfXref xref;
    auto* number = xref.Add(std::make_unique<TPdfNumber>(7));
    EXPECT_EQ(number->GenerationNumber(), 0);
    TPdfDictionary holder(&xref);
    holder.Put("N", *number);
    EXPECT_EQ(Written(holder), "<<\r\n/N 1 0 R\r\n>>");
}

TEST(PdfXref, SavedFileOffsetsPointAtTheirObjectsAndTheXrefKeyword) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    doc.AddPage();
    const std::string file = Saved(doc);
    ASSERT_EQ(file.rfind("%PDF-1.2 \r\n1 0 obj\r\n", 0), 0u);  // the first object starts at byte 11

    const std::string tail = "\r\n%%EOF\r\n";
    ASSERT_GE(file.size(), tail.size());
    EXPECT_EQ(file.substr(file.size() - tail.size()), tail);
    const size_t startxref = file.rfind("startxref\r\n");
    ASSERT_NE(startxref, std::string::npos);
    const size_t xrefAt = std::stoul(file.substr(startxref + 11));
    ASSERT_EQ(file.compare(xrefAt, 10, "xref\r\n0 9\r"), 0);

    // Entries: 20 bytes each, one per object, each offset at "k 0 obj".
    const size_t entries = xrefAt + std::string("xref\r\n0 9\r\n").size();
    EXPECT_EQ(file.substr(entries, 20), "0000000000 65535 f\r\n");
    for (int k = 1; k < 9; ++k) {
        const std::string line = file.substr(entries + 20 * static_cast<size_t>(k), 20);
        ASSERT_EQ(line.substr(10), " 00000 n\r\n") << line;
        const size_t offset = std::stoul(line.substr(0, 10));
        const std::string objectLine = std::to_string(k) + " 0 obj\r\n";
        EXPECT_EQ(file.compare(offset, objectLine.size(), objectLine), 0) << "object " << k;
    }
    EXPECT_EQ(file.substr(entries + 9 * 20),
              "trailer\r\n<<\r\n/Size 9\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\r\nstartxref\r\n" +
                  std::to_string(xrefAt) + tail);
    test::ExpectQpdfClean(file);
}

TEST(PdfXref, SavingNeedsADocumentWithAPage) {
    TPdfDoc doc;
    TMemoryStream stream;
    EXPECT_THROW_MSG(doc.SaveToStream(stream), EPdfInvalidOperation, "SaveToStream --there is no document to save.");
    doc.StartDocument();
    EXPECT_THROW_MSG(doc.SaveToStream(stream), EPdfInvalidOperation, "SaveToStream --there is no document to save.");
    EXPECT_EQ(stream.Size(), 0);
}

TEST(PdfXref, SavingTwiceDiffersOnlyInModDate) {
    const test::TimeZone utc("UTC0");
    TPdfDoc doc;
    int calls = 0;
    doc.Clock = [&calls] { return EncodeDateTime(2024, 1, 2, 3, 4, 5 + calls++); };
    doc.StartDocument();  // CreationDate: 03:04:05
    doc.AddPage();
    const std::string first = Saved(doc);
    const std::string second = Saved(doc);
    EXPECT_NE(first.find("/CreationDate (D:20240102030405Z)\r\n/ModDate (D:20240102030406Z)"), std::string::npos);
    std::string expected = first;
    const size_t at = expected.find("/ModDate (D:20240102030406Z)");
    ASSERT_NE(at, std::string::npos);
    expected.replace(at, 28, "/ModDate (D:20240102030407Z)");
    EXPECT_EQ(second, expected);
}

// A stream that reports positions as if `bias` bytes stood before the document, so offsets
// beyond the ten digits of a cross-reference line can be tried without writing gigabytes.
class BiasedStream : public TStream {
public:
    explicit BiasedStream(int64_t bias) : bias_(bias) {}
    using TStream::Write;
    void Write(const void* data, size_t count) override { inner_.Write(data, count); }
    int64_t Position() const override { return inner_.Position() + bias_; }
    void SetPosition(int64_t position) override { inner_.SetPosition(position); }
    int64_t Size() const override { return inner_.Size() + bias_; }
    const std::string& Bytes() const { return inner_.Bytes(); }

private:
    TMemoryStream inner_;
    int64_t bias_;
};

TEST(PdfXref, OffsetsBeyondTenDigitsFailInsteadOfCorruptingTheTable) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    const std::string plain = Saved(doc);
    const int64_t xrefAt = std::stoll(plain.substr(plain.rfind("startxref\r\n") + 11));
    const int64_t lastObjectAt = static_cast<int64_t>(plain.find("\n6 0 obj\r\n")) + 1;

    // The cross-reference keyword exactly at the widest offset: every line still has 20 bytes.
    BiasedStream fits(kMaxXrefOffset - xrefAt);
    doc.SaveToStream(fits);
    const std::string& bytes = fits.Bytes();
    const size_t xref = bytes.find("xref\r\n0 7\r\n");
    ASSERT_NE(xref, std::string::npos);
    EXPECT_EQ(bytes.substr(xref + 11, 40),
              "0000000000 65535 f\r\n" + std::to_string(kMaxXrefOffset - xrefAt + 11) + " 00000 n\r\n");
    EXPECT_NE(bytes.find("startxref\r\n9999999999\r\n%%EOF\r\n"), std::string::npos);

    BiasedStream xrefTooFar(kMaxXrefOffset - xrefAt + 1);
    EXPECT_THROW_MSG(doc.SaveToStream(xrefTooFar), EPdfInvalidOperation,
                     "SaveToStream --the file is too large: the cross-reference table starts at byte 10000000000, "
                     "beyond 10 digits.");
    EXPECT_EQ(xrefTooFar.Bytes().find("xref\r\n"), std::string::npos);

    BiasedStream objectTooFar(kMaxXrefOffset - lastObjectAt + 1);
    EXPECT_THROW_MSG(doc.SaveToStream(objectTooFar), EPdfInvalidOperation,
                     "SaveToStream --the file is too large: object 6 starts at byte 10000000000, beyond the 10 "
                     "digits of the cross-reference table.");
}

}  // namespace
}  // namespace tovra
