// The PDF value classes: byte-exact serialization, escaping, numbers, dates, dictionaries,
// arrays and streams.
#include <zlib.h>

#include <clocale>
#include <locale>

#include "PdfTestUtil.h"
#include "TestSupport.h"
#include "common/Exceptions.h"
#include "pdf/PdfTypes.h"
#include "pdf/PdfXref.h"

namespace tovra {
namespace {

using test::Written;

TEST(PdfObjects, SimpleValuesAreWrittenExactly) {
    struct Row {
        std::unique_ptr<TPdfObject> object;
        std::string bytes;
    };
    Row rows[] = {
        {std::make_unique<TPdfNull>(), "null"},
        {std::make_unique<TPdfBoolean>(true), "true"},
        {std::make_unique<TPdfBoolean>(false), "false"},
        {std::make_unique<TPdfNumber>(-5), "-5"},
        {std::make_unique<TPdfNumber>(INT32_MIN), "-2147483648"},
        {std::make_unique<TPdfReal>(3.0), "3"},
        {std::make_unique<TPdfReal>(0.1), "0.1"},
        {std::make_unique<TPdfReal>(0.25), "0.25"},
        {std::make_unique<TPdfReal>(-1.5), "-1.5"},
        {std::make_unique<TPdfReal>(2.0 / 3.0), "0.666666666666667"},
        {std::make_unique<TPdfReal>(1.0 / 3.0), "0.333333333333333"},
        {std::make_unique<TPdfReal>(0.1 + 0.2), "0.3"},
        {std::make_unique<TPdfReal>(123456.789), "123456.789"},
        {std::make_unique<TPdfReal>(0.00012), "0.00012"},
        {std::make_unique<TPdfReal>(1e14), "100000000000000"},
        {std::make_unique<TPdfReal>(-0.0), "0"},
        {std::make_unique<TPdfText>(""), "()"},
        {std::make_unique<TPdfText>("a(b)c\\"), "(a\\(b\\)c\\\\)"},
        {std::make_unique<TPdfText>("x\r\ny\t\b\f"), "(x\\r\\ny\\t\\b\\f)"},
        {std::make_unique<TPdfText>("\x01\x7F"), "(\x01\x7F)"},
        // Not UTF-8: literal form, bytes unchanged.
        {std::make_unique<TPdfText>("caf\xE9"), "(caf\xE9)"},
        // UTF-8: UTF-16BE with a byte-order mark and no language escape.
        {std::make_unique<TPdfText>("Caf\xC3\xA9"), "<FEFF00430061006600E9>"},
        {std::make_unique<TPdfText>("\xE4\xB8\x80(x)"), "<FEFF4E00002800780029>"},
        {std::make_unique<TPdfText>("\xF0\x9F\x98\x80"), "<FEFFD83DDE00>"},
        {std::make_unique<TPdfName>("Font"), "/Font"},
        {std::make_unique<TPdfName>("A B"), "/A#20B"},
        {std::make_unique<TPdfName>("#1"), "/#231"},
        {std::make_unique<TPdfName>(""), "/"},
        {std::make_unique<TPdfName>("%()/<>[]{}"), "/#25#28#29#2F#3C#3E#5B#5D#7B#7D"},
        {std::make_unique<TPdfName>("a\x7F\xE9\n!~"), "/a#7F#E9#0A!~"},
        {std::make_unique<TPdfArray>(), "[]"},
        {std::make_unique<TPdfDictionary>(), "<<\r\n>>"},
        {TPdfVirtualObject::CreateVirtual(7), ""},
    };
    for (auto& row : rows) EXPECT_EQ(Written(*row.object), row.bytes);
}

TEST(PdfObjects, HelpersForTextAndDates) {
    EXPECT_EQ(LanguagePrefix(), "FEFF001B656E001B");
    EXPECT_EQ(BytesToHex(std::string("\x00\xAB\xff", 3)), "00ABFF");
    EXPECT_FALSE(HasMultiByteChars("plain ASCII"));
    EXPECT_FALSE(HasMultiByteChars("\xC3"));          // cut-off sequence
    EXPECT_FALSE(HasMultiByteChars("\xC0\xA9"));      // overlong
    EXPECT_FALSE(HasMultiByteChars("\xED\xA0\x80"));  // UTF-16 surrogate
    EXPECT_TRUE(HasMultiByteChars("\xC3\xA9"));
}

// Local date-times carry the offset their zone had at that moment (daylight saving time
// included); UTC readings carry "Z" in any zone.
TEST(PdfObjects, DatesCarryTheirOffsetFromUtc) {
    constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
    constexpr const char* kNewfoundland = "NST3:30NDT,M3.2.0,M11.1.0";
    const struct {
        const char* zone;
        TDateTime date;
        const char* local;
    } cases[] = {
        {"UTC0", EncodeDateTime(2023, 12, 31, 23, 59, 59), "D:20231231235959Z"},
        {"UTC0", 0.0, "D:18991230000000Z"},
        {"JST-9", EncodeDateTime(2024, 3, 5, 9, 7, 3), "D:20240305090703+09'00'"},
        {kBerlin, EncodeDateTime(2024, 2, 29, 0, 0, 0), "D:20240229000000+01'00'"},
        {kBerlin, EncodeDateTime(2024, 7, 1, 12, 0, 0), "D:20240701120000+02'00'"},
        {kNewfoundland, EncodeDateTime(2024, 1, 15, 8, 30, 0), "D:20240115083000-03'30'"},
        {kNewfoundland, EncodeDateTime(2024, 8, 15, 8, 30, 0), "D:20240815083000-02'30'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        const test::TimeZone zone(c.zone);
        EXPECT_EQ(PdfDateString(c.date), c.local);
        EXPECT_EQ(PdfDateString(c.date, TDateZone::Utc), std::string(c.local).substr(0, 16) + "Z");
    }
}

TEST(PdfObjects, RealToTextRoundsToHundredthsHalvesUp) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {10, "10"},        {12.5, "12.5"},    {2, "2"},           {0.004, "0"},      {0.005, "0.01"},
        {0.07f, "0.07"},   {595.276f, "595.28"}, {10.555f, "10.56"}, {10.554f, "10.55"}, {-2.5, "-2.5"},
        {-1, "-1"},        {-0.006, "-0.01"}, {-0.004, "0"},      {-0.005, "0"},     {-10.555f, "-10.56"},
        {1.1, "1.1"},      {100.1f, "100.1"}, {16777216.0f, "16777216"}, {1e20, "100000000000000000000"},
    };
    for (const auto& row : rows) EXPECT_EQ(RealToText(row.value), row.text) << row.value;
}

// A locale whose decimal separator is a comma must not leak into the file.
TEST(PdfObjects, NumbersUseAFullStopWhateverTheLocale) {
    struct CommaPunct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    bool cLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_ALL, name)) {
            cLocale = std::string(std::localeconv()->decimal_point) == ",";
            if (cLocale) break;
        }
    }
    std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    TPdfReal real(1234567.25);
    const std::string realText = Written(real);
    const std::string hundredths = RealToText(12.5f) + " " + RealToText(1234.56f);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");

    EXPECT_EQ(realText, "1234567.25");
    EXPECT_EQ(hundredths, "12.5 1234.56");
    RecordProperty("CLocaleWithComma", cLocale ? "yes" : "no (C++ locale only)");
}

TEST(PdfObjects, ContainersWriteItemsInOrderAndReferencesForRegisteredObjects) {
    TPdfXref xref;
    auto* registered = xref.Add(std::make_unique<TPdfDictionary>(&xref));  // object 1

    TPdfArray array(&xref);
    array.Add(std::make_unique<TPdfNumber>(5));
    EXPECT_EQ(Written(array), "[5 ]");
    array.Add(*registered);
    array.Add(*registered);  // an indirect object added twice gives two references
    array.Add(std::make_unique<TPdfName>("N"));
    EXPECT_EQ(Written(array), "[5 1 0 R 1 0 R /N ]");
    EXPECT_EQ(array.Items(1), registered);  // resolved, not the placeholder
    EXPECT_EQ(array.FindName("N"), array.Items(3));
    EXPECT_EQ(array.FindName("n"), nullptr);
    EXPECT_THROW(array.Items(4), EListError);
    EXPECT_EQ(Written(*TPdfArray::CreateFromIntegers(nullptr, {0, 0, 596, 842})), "[0 0 596 842 ]");

    TPdfDictionary dict(&xref);
    dict.Put("Contents", *registered);
    auto nested = std::make_unique<TPdfDictionary>();
    nested->Put("Font", std::make_unique<TPdfDictionary>());
    dict.Put("Resources", std::move(nested));
    dict.PutInternal("_Hidden", std::make_unique<TPdfNumber>(1));
    dict.Put("A B", std::make_unique<TPdfText>("t"));
    EXPECT_EQ(Written(dict), "<<\r\n/Contents 1 0 R\r\n/Resources <<\r\n/Font <<\r\n>>\r\n>>\r\n/A#20B (t)\r\n>>");
    EXPECT_EQ(dict.ValueByKey("Contents"), registered);
    EXPECT_EQ(dict.NumberByKey("_Hidden")->Value, 1);  // internal elements are found like others

    // The same placeholder without an object manager resolves to nothing.
    TPdfDictionary lonely;
    lonely.Put("X", *registered);
    EXPECT_EQ(Written(lonely), "<<\r\n/X 1 0 R\r\n>>");
    EXPECT_EQ(lonely.ValueByKey("X"), nullptr);

    TPdfDictionary internalOnly;
    internalOnly.PutInternal("_Font", std::make_unique<TPdfName>("Arial"));
    EXPECT_EQ(Written(internalOnly), "<<\r\n>>");
}

TEST(PdfObjects, AnOwningPointerToARegisteredObjectIsRefusedAndTheTableKeepsIt) {
    TPdfXref xref;
    auto* number = xref.Add(std::make_unique<TPdfNumber>(42));  // object 1
    auto* name = xref.Add(std::make_unique<TPdfName>("Kept"));  // object 2
    TPdfArray array(&xref);
    TPdfDictionary dict(&xref);

    // A caller that wrongly holds the object twice: taking it would free it under the table.
    EXPECT_THROW_MSG(array.Add(std::unique_ptr<TPdfObject>(number)), EPdfInvalidValue,
                     "Add --object 1 is owned by the cross-reference table; add it by reference.");
    EXPECT_THROW_MSG(dict.Put("N", std::unique_ptr<TPdfObject>(name)), EPdfInvalidValue,
                     "Put --object 2 is owned by the cross-reference table; add it by reference.");
    EXPECT_THROW_MSG(dict.PutInternal("_N", std::unique_ptr<TPdfObject>(name)), EPdfInvalidValue,
                     "PutInternal --object 2 is owned by the cross-reference table; add it by reference.");
    EXPECT_EQ(array.ItemCount(), 0);
    EXPECT_EQ(dict.ItemCount(), 0);

    // Both are still alive and written once each by the table; references still work.
    EXPECT_EQ(number->Value, 42);
    EXPECT_EQ(name->Value, "Kept");
    array.Add(*number);
    dict.Put("N", *name);
    EXPECT_EQ(Written(array), "[1 0 R ]");
    EXPECT_EQ(dict.ValueByKey("N"), name);
}

TEST(PdfObjects, PutReplacesAndMovesTheKeyRemoveKeepsRegisteredObjects) {
    TPdfXref xref;
    auto* registered = xref.Add(std::make_unique<TPdfNumber>(42));
    TPdfDictionary dict(&xref);
    dict.Put("A", std::make_unique<TPdfNumber>(1));
    dict.Put("B", std::make_unique<TPdfNumber>(2));
    dict.Put("A", std::make_unique<TPdfNumber>(3));
    EXPECT_EQ(Written(dict), "<<\r\n/B 2\r\n/A 3\r\n>>");
    EXPECT_EQ(dict.ItemCount(), 2);

    dict.Put("R", *registered);
    dict.Remove("r");  // keys match byte for byte
    dict.Remove("R");
    dict.Remove("Missing");
    EXPECT_EQ(Written(dict), "<<\r\n/B 2\r\n/A 3\r\n>>");
    EXPECT_EQ(xref.ObjectByNumber(1), registered);
    EXPECT_EQ(registered->Value, 42);

    EXPECT_THROW_MSG(dict.Put("X", std::unique_ptr<TPdfObject>()), EPdfInvalidValue, "internal error. wrong object.");
    EXPECT_THROW_MSG(dict.PutInternal("X", nullptr), EPdfInvalidValue, "internal error. wrong object.");
    EXPECT_EQ(dict.ItemCount(), 2);
}

TEST(PdfObjects, ObjectKindsAndIndirectWriting) {
    TPdfNumber number(9);
    EXPECT_EQ(number.ObjectKind(), okDirect);
    EXPECT_EQ(number.ObjectNumber(), -1);
    TMemoryStream out;
    EXPECT_THROW_MSG(number.WriteIndirect(out), EPdfInvalidOperation, "internal error wrong object type");
    EXPECT_EQ(out.Size(), 0);

    number.SetObjectNumber(4);
    EXPECT_EQ(number.ObjectKind(), okIndirect);
    number.WriteIndirect(out);
    number.WriteRefOrValue(out);
    EXPECT_EQ(out.Bytes(), "4 0 obj\r\n9\r\nendobj\r\n4 0 R");
    number.SetObjectNumber(0);
    EXPECT_EQ(number.ObjectKind(), okDirect);

    EXPECT_THROW_MSG(TPdfVirtualObject(), Exception, "virtualObject must be create by CreateVirtual method.");
    auto placeholder = TPdfVirtualObject::CreateVirtual(12);
    EXPECT_EQ(placeholder->ObjectKind(), okVirtual);
    TMemoryStream ref;
    placeholder->WriteRefOrValue(ref);
    EXPECT_EQ(ref.Bytes(), "12 0 R");
}

std::string Inflate(const std::string& compressed, size_t expectedSize) {
    std::string out(expectedSize + 16, '\0');
    uLongf size = out.size();
    const int code = uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                                reinterpret_cast<const Bytef*>(compressed.data()), compressed.size());
    EXPECT_EQ(code, Z_OK);
    out.resize(size);
    return out;
}

TEST(PdfObjects, StreamsWriteLengthAndFlateData) {
    TPdfStream empty;
    EXPECT_EQ(Written(empty), "<<\r\n/Length 0\r\n/Filter []\r\n>>\r\nstream\r\n\nendstream");

    TPdfStream raw;
    raw.Data().Write("q\nQ\n");
    raw.Data().SetPosition(1);  // the position does not matter: all of Data is written
    EXPECT_EQ(Written(raw), "<<\r\n/Length 4\r\n/Filter []\r\n>>\r\nstream\r\nq\nQ\n\nendstream");

    // Only FlateDecode is processed; other filters copy the data as they are.
    TPdfStream dct;
    dct.Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("DCTDecode"));
    dct.Data().Write("\xFF\xD8");
    EXPECT_EQ(Written(dct), "<<\r\n/Length 2\r\n/Filter [/DCTDecode ]\r\n>>\r\nstream\r\n\xFF\xD8\nendstream");

    TPdfStream flate;
    flate.Dict().ArrayByKey("Filter")->Add(std::make_unique<TPdfName>("FlateDecode"));
    std::string data;
    for (int i = 0; i < 2000; ++i) data += "0 0 596 842 re\n" + std::to_string(i);
    flate.Data().Write(data);
    const std::string first = Written(flate);
    EXPECT_EQ(Written(flate), first);

    const std::string head = "<<\r\n/Length ";
    ASSERT_EQ(first.rfind(head, 0), 0u);
    const int length = std::stoi(first.substr(head.size()));
    EXPECT_EQ(flate.Dict().NumberByKey("Length")->Value, length);
    const std::string rest = "\r\n/Filter [/FlateDecode ]\r\n>>\r\nstream\r\n";
    const size_t dataStart = head.size() + std::to_string(length).size() + rest.size();
    ASSERT_EQ(first.substr(head.size() + std::to_string(length).size(), rest.size()), rest);
    ASSERT_EQ(first.size(), dataStart + static_cast<size_t>(length) + std::string("\nendstream").size());
    const std::string compressed = first.substr(dataStart, static_cast<size_t>(length));
    EXPECT_EQ(compressed.substr(0, 2), "\x78\xDA");
    EXPECT_LT(compressed.size(), data.size());
    EXPECT_EQ(Inflate(compressed, data.size()), data);
    EXPECT_EQ(flate.Data().Bytes(), data);  // Data keeps the uncompressed bytes
}

}  // namespace
}  // namespace tovra
