// Document assembly: numbering, the catalog, information dictionary and page tree, pages,
// compression, fonts, image XObjects and the document's state checks.
#include <zlib.h>

#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "pdf/PdfDoc.h"

namespace tovra {
namespace {

using test::FixClock;
using test::ObjectBody;
using test::Saved;

TEST(PdfDoc, StartDocumentNumbersCatalogInfoAndPageTree) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    EXPECT_EQ(doc.Xref()->EntryCount(), 4);
    EXPECT_EQ(doc.GetRoot()->Dict()->ObjectNumber(), 1);
    EXPECT_EQ(doc.GetInfo()->Dict()->ObjectNumber(), 2);
    EXPECT_EQ(doc.CurrentPages()->ObjectNumber(), 3);
    EXPECT_EQ(test::Written(*doc.CurrentPages()), "<<\r\n/Type /Pages\r\n/Kids []\r\n/Count 0\r\n>>");
    EXPECT_EQ(test::Written(*doc.GetRoot()->Dict()), "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n>>");

    doc.AddPage();
    doc.AddPage();
    const std::string file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 3), "<<\r\n/Type /Pages\r\n/Kids [4 0 R 7 0 R ]\r\n/Count 2\r\n>>");
    EXPECT_EQ(ObjectBody(file, 7).rfind("<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n", 0), 0u);
    test::ExpectQpdfClean(file);

    // Starting again releases the old document: numbering begins at 1 again.
    doc.StartDocument();
    EXPECT_EQ(doc.Xref()->EntryCount(), 4);
    doc.AddPage();
    EXPECT_EQ(doc.Xref()->EntryCount(), 7);
    EXPECT_EQ(ObjectBody(Saved(doc), 3), "<<\r\n/Type /Pages\r\n/Kids [4 0 R ]\r\n/Count 1\r\n>>");
}

TEST(PdfDoc, OutlinesTakeNumberTwoAndComeBeforePagesInTheCatalog) {
    TPdfDoc doc;
    FixClock(doc);
    doc.UseOutlines = true;
    doc.StartDocument();
    doc.AddPage();
    const std::string file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 1), "<<\r\n/Type /Catalog\r\n/Outlines 2 0 R\r\n/Pages 4 0 R\r\n>>");
    EXPECT_EQ(ObjectBody(file, 2), "<<\r\n/Type /Outlines\r\n/Count 0\r\n>>");
    EXPECT_EQ(ObjectBody(file, 3).rfind("<<\r\n/Producer (VidedODI)\r\n", 0), 0u);
    EXPECT_EQ(ObjectBody(file, 4), "<<\r\n/Type /Pages\r\n/Kids [5 0 R ]\r\n/Count 1\r\n>>");
    EXPECT_NE(file.find("/Size 8\r\n/Root 1 0 R\r\n/Info 3 0 R\r\n>>"), std::string::npos);
    test::ExpectQpdfClean(file);
}

TEST(PdfDoc, InformationEntriesKeepTheOrderOfTheirLatestSetting) {
    const test::TimeZone tokyo("JST-9");
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    TPdfInfo* info = doc.GetInfo();
    info->SetAuthor("A. Author");
    info->SetCreationDate(EncodeDateTime(2023, 12, 31, 23, 59, 59));
    info->SetCreator("Tovra PDF version 1.1");
    info->SetKeywords("");
    info->SetModDate(EncodeDateTime(2000, 1, 1, 0, 0, 0));
    info->SetSubject("Sub (ject)");
    info->SetTitle("Caf\xC3\xA9");
    const std::string file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 2),
              "<<\r\n/Producer (VidedODI)\r\n/Author (A. Author)\r\n/CreationDate (D:20231231235959+09'00')\r\n"
              "/Creator (Tovra PDF version 1.1)\r\n/Keywords ()\r\n/Subject (Sub \\(ject\\))\r\n"
              "/Title <FEFF00430061006600E9>\r\n/ModDate (D:20240305090703+09'00')\r\n>>");
}

TEST(PdfDoc, UnicodeTitleReadsBackThroughPdfinfo) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    doc.GetInfo()->SetTitle("Caf\xC3\xA9");
    doc.GetInfo()->SetAuthor("\xE4\xB8\x80 \xF0\x9F\x98\x80");
    test::TempDir dir;
    const auto path = dir / "title.pdf";
    {
        TFileStream file(path.string());
        doc.SaveToStream(file);
        file.Close();
    }
    EXPECT_QPDF_CLEAN(path);
    const auto result = test::RunCommand("pdfinfo -enc UTF-8 " + test::ShellQuote(path.string()));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string text = "\n" + result.output;  // every field then follows a line feed
    auto field = [&text](const std::string& name) {
        const size_t at = text.find("\n" + name + ":");
        if (at == std::string::npos) return "<no " + name + ">";
        const size_t from = text.find_first_not_of(' ', at + name.size() + 2);
        return text.substr(from, text.find('\n', from) - from);
    };
    EXPECT_EQ(field("Title"), "Caf\xC3\xA9") << result.output;
    EXPECT_EQ(field("Author"), "\xE4\xB8\x80 \xF0\x9F\x98\x80") << result.output;
    EXPECT_EQ(field("Producer"), "VidedODI") << result.output;
}

TEST(PdfDoc, CompressionAppliesToContentStreamsOfLaterPages) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();  // 4, contents 5, font 6
    doc.CompressionMethod = cmFlateDecode;
    doc.AddPage();  // 7, contents 8
    const std::string file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 5), "<<\r\n/Length 10\r\n/Filter []\r\n>>\r\nstream\r\n/F0 10 Tf\n\nendstream");
    const std::string compressed = ObjectBody(file, 8);
    const std::string head = "<<\r\n/Length ";
    ASSERT_EQ(compressed.rfind(head, 0), 0u);
    const size_t length = std::stoul(compressed.substr(head.size()));
    const std::string rest = std::to_string(length) + "\r\n/Filter [/FlateDecode ]\r\n>>\r\nstream\r\n";
    ASSERT_EQ(compressed.compare(head.size(), rest.size(), rest), 0) << compressed;
    const std::string data = compressed.substr(head.size() + rest.size(), length);
    EXPECT_EQ(compressed.substr(head.size() + rest.size() + length), "\nendstream");
    char inflated[32];
    uLongf size = sizeof inflated;
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated), &size, reinterpret_cast<const Bytef*>(data.data()),
                         data.size()),
              Z_OK);
    EXPECT_EQ(std::string(inflated, size), "/F0 10 Tf\n");
    test::ExpectQpdfClean(file);
}

TEST(PdfDoc, FontsAreMadeOnceAndNamedInOrder) {
    TPdfDoc doc;
    doc.StartDocument();
    TPdfFont* arial = doc.GetFont("Arial");
    EXPECT_EQ(doc.GetFont("Arial"), arial);
    TPdfFont* times = doc.GetFont("Times-Bold");
    EXPECT_NE(times, arial);
    EXPECT_EQ(arial->Dict()->NameByKey("Name")->Value, "F0");
    EXPECT_EQ(times->Dict()->NameByKey("Name")->Value, "F1");
    TPdfFont* another = doc.CreateFont("Arial");  // always a new one
    EXPECT_NE(another, arial);
    EXPECT_EQ(another->Dict()->NameByKey("Name")->Value, "F2");
    EXPECT_EQ(doc.GetFont("Arial"), arial);

    EXPECT_THROW_MSG(doc.CreateFont("NoSuchFont"), Exception, "CreateFont --InvalidFontName:NoSuchFont");
    EXPECT_THROW_MSG(doc.GetFont("Helvetica"), Exception, "CreateFont --InvalidFontName:Helvetica");
}

TEST(PdfDoc, AddImageRegistersValidImagesUnderUniqueNames) {
    TPdfDoc doc;
    FixClock(doc);
    doc.StartDocument();
    doc.AddPage();
    TPdfImage* first = doc.AddImage("X", test::MakeImage());
    EXPECT_EQ(first->ObjectNumber(), 7);
    EXPECT_EQ(doc.FindXObject("X"), first);
    EXPECT_EQ(doc.FindXObject("x"), nullptr);
    EXPECT_EQ(first->Dict().NameByKey("Name")->Value, "X");

    auto second = test::MakeImage();
    EXPECT_THROW_MSG(doc.AddImage("X", std::move(second)), Exception,
                     "AddImage --the image named X is already exists..");
    ASSERT_NE(second, nullptr);  // stays with the caller
    EXPECT_EQ(doc.FindXObject("X"), first);

    // Not an image XObject: wrong or missing Type or Subtype, or no image at all.
    for (const char* spoilt : {"Type", "Subtype", "Form"}) {
        auto notImage = test::MakeImage();
        if (std::string(spoilt) == "Form") notImage->Dict().Put("Subtype", std::make_unique<TPdfName>("Form"));
        else notImage->Dict().Remove(spoilt);
        EXPECT_THROW_MSG(doc.AddImage("Y", std::move(notImage)), Exception,
                         "AddImage --the image is not valid TPdfImage..");
        EXPECT_NE(notImage, nullptr);
    }
    EXPECT_THROW_MSG(doc.AddImage("Y", nullptr), Exception, "AddImage --the image is not valid TPdfImage..");
    auto registered = test::MakeImage();
    registered->SetObjectNumber(99);  // not direct any more
    EXPECT_THROW_MSG(doc.AddImage("Y", std::move(registered)), EPdfInvalidOperation, "AddObject --wrong object type.");
    EXPECT_NE(registered, nullptr);
    EXPECT_EQ(doc.Xref()->EntryCount(), 8);

    const std::string file = Saved(doc);
    EXPECT_EQ(ObjectBody(file, 7),
              "<<\r\n/Length 1\r\n/Filter []\r\n/Type /XObject\r\n/Subtype /Image\r\n/Width 1\r\n/Height 1\r\n"
              "/ColorSpace /DeviceGray\r\n/BitsPerComponent 8\r\n/Name /X\r\n>>\r\nstream\r\n\x80\nendstream");
    test::ExpectQpdfClean(file);
}

TEST(PdfDoc, RegisterXObjectChecksTypeNameAndDuplicates) {
    TPdfDoc doc;
    doc.StartDocument();
    EXPECT_THROW_MSG(doc.RegisterXObject(nullptr, "A"), EPdfInvalidValue, "RegisterXObject --AObject is null");
    auto* dict = doc.Xref()->Add(std::make_unique<TPdfDictionary>());
    EXPECT_THROW_MSG(doc.RegisterXObject(dict, "A"), EPdfInvalidValue, "RegisterXObject --not XObject");

    // An unregistered XObject is registered by the document.
    auto xobject = std::make_unique<TPdfXObject>(doc.Xref());
    xobject->Dict().Put("Type", std::make_unique<TPdfName>("XObject"));
    TPdfStream* a = doc.RegisterXObject(std::move(xobject), "A");
    EXPECT_EQ(a->ObjectNumber(), 5);
    EXPECT_EQ(doc.FindXObject("A"), a);

    // One that already has a name is registered with the table but not listed.
    auto named = std::make_unique<TPdfXObject>(doc.Xref());
    named->Dict().Put("Type", std::make_unique<TPdfName>("XObject"));
    named->Dict().Put("Name", std::make_unique<TPdfName>("B"));
    TPdfStream* b = doc.RegisterXObject(std::move(named), "B");
    EXPECT_EQ(b->ObjectKind(), okIndirect);
    EXPECT_EQ(doc.FindXObject("B"), nullptr);

    // A duplicate name fails after the object was registered.
    auto duplicate = std::make_unique<TPdfXObject>(doc.Xref());
    duplicate->Dict().Put("Type", std::make_unique<TPdfName>("XObject"));
    TPdfXObject* raw = duplicate.get();
    EXPECT_THROW_MSG(doc.RegisterXObject(std::move(duplicate), "A"), EPdfInvalidValue,
                     "RegisterXObject --dupulicate name: A");
    EXPECT_EQ(duplicate, nullptr);  // the table owns it now
    EXPECT_EQ(raw->ObjectNumber(), 7);
    EXPECT_EQ(doc.Xref()->ObjectByNumber(7), raw);
    EXPECT_EQ(doc.FindXObject("A"), a);
    EXPECT_EQ(raw->Dict().ValueByKey("Name"), nullptr);
}

TEST(PdfDoc, CatalogSettings) {
    TPdfDoc doc;
    doc.StartDocument();
    TPdfCatalog* root = doc.GetRoot();
    root->SetPageLayout(plOneColumn);
    root->SetPageMode(pmUseThumbs);
    root->SetPageLayout(plTwoColumnRight);  // changed in place
    EXPECT_EQ(test::Written(*root->Dict()),
              "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n/PageLayout /TwoColumnRight\r\n/PageMode /UseThumbs\r\n>>");

    TPdfDoc viewer;
    viewer.StartDocument();
    TPdfCatalog* catalog = viewer.GetRoot();
    catalog->SetViewerPreference(0);  // nothing to say: no dictionary is made
    EXPECT_EQ(catalog->Dict()->ValueByKey("ViewerPreferences"), nullptr);
    catalog->SetNonFullScreenPageMode(pmFullScreen);
    EXPECT_EQ(test::Written(*catalog->Dict()),
              "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n/ViewerPreferences <<\r\n>>\r\n>>");
    catalog->SetNonFullScreenPageMode(pmUseOutlines);
    catalog->SetViewerPreference(ViewerPreferenceBit(vpCenterWindow) | ViewerPreferenceBit(vpHideToolbar) |
                                 ViewerPreferenceBit(vpFitWindow));
    catalog->SetNonFullScreenPageMode(pmUseThumbs);  // in place
    catalog->SetViewerPreference(ViewerPreferenceBit(vpHideToolbar) | ViewerPreferenceBit(vpCenterWindow));
    EXPECT_EQ(test::Written(*catalog->Dict()->DictionaryByKey("ViewerPreferences")),
              "<<\r\n/NonFullScreenPageMode /UseThumbs\r\n/HideToolbar true\r\n/CenterWindow true\r\n>>");
    catalog->SetNonFullScreenPageMode(pmUseNone);
    catalog->SetViewerPreference(0);
    EXPECT_EQ(test::Written(*catalog->Dict()->DictionaryByKey("ViewerPreferences")), "<<\r\n>>");
}

TEST(PdfDoc, OperationsThatNeedADocumentSaySo) {
    TPdfDoc doc;
    EXPECT_FALSE(doc.HasDoc());
    EXPECT_THROW_MSG(doc.AddPage(), EPdfInvalidOperation, "AddPage --current pages null.");
    EXPECT_THROW_MSG(doc.GetInfo(), EPdfInvalidOperation, "GetInfo --this method can not use this state..");
    EXPECT_THROW_MSG(doc.GetRoot(), EPdfInvalidOperation, "GetRoot --this method can not use this state..");
    EXPECT_THROW_MSG(doc.GetOutlineRoot(), EPdfInvalidOperation, "GetOutlineRoot --document is null..");
    EXPECT_THROW_MSG(doc.GetFont("Arial"), EPdfInvalidOperation, "GetFont --document is null.");
    EXPECT_THROW_MSG(doc.CreateFont("Arial"), EPdfInvalidOperation, "CreateFont --document is null.");
    EXPECT_THROW_MSG(doc.GetCanvas(), EPdfInvalidOperation, "GetCanvas --Document is null");
    EXPECT_EQ(doc.FindXObject("A"), nullptr);
    doc.StartDocument();
    EXPECT_THROW_MSG(doc.GetOutlineRoot(), EPdfInvalidOperation, "GetOutlineRoot --not use outline mode..");
    doc.ReleaseDocument();
    EXPECT_THROW_MSG(doc.AddPage(), EPdfInvalidOperation, "AddPage --current pages null.");
}

}  // namespace
}  // namespace tovra
