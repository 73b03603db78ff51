#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/Exceptions.h"
#include "pdf/PdfDoc.h"

namespace tovra {
namespace {

constexpr TDateTime kFixedTime = 45356.379895833335;  // 2024-03-05 09:07:03

std::string Saved(TPdfDoc& doc) {
    TMemoryStream stream;
    doc.SaveToStream(stream);
    return stream.Bytes();
}

TEST(PdfDocument, OnePageDocumentIsWrittenByteForByte) {
    const test::TimeZone utc("UTC0");
    TPdfDoc doc;
    doc.Clock = [] { return kFixedTime; };
    doc.StartDocument();
    doc.AddPage();
    const std::string file = Saved(doc);

    const std::string objects[] = {
        "1 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n>>\r\nendobj\r\n",
        "2 0 obj\r\n<<\r\n/Producer (VidedODI)\r\n/CreationDate (D:20240305090703Z)\r\n/ModDate (D:20240305090703Z)\r\n>>\r\nendobj\r\n",
        "3 0 obj\r\n<<\r\n/Type /Pages\r\n/Kids [4 0 R ]\r\n/Count 1\r\n>>\r\nendobj\r\n",
        "4 0 obj\r\n<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n/MediaBox [0 0 596 842 ]\r\n/Resources <<\r\n/Font <<\r\n/F0 6 0 R\r\n>>\r\n"
        "/XObject <<\r\n>>\r\n/ProcSet [/PDF /Text /ImageC ]\r\n>>\r\n/Contents 5 0 R\r\n>>\r\nendobj\r\n",
        "5 0 obj\r\n<<\r\n/Length 10\r\n/Filter []\r\n>>\r\nstream\r\n/F0 10 Tf\n\nendstream\r\nendobj\r\n",
        "6 0 obj\r\n<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar 32\r\n/LastChar 255\r\n"
        "/BaseFont /Helvetica\r\n/Name /F0\r\n>>\r\nendobj\r\n",
    };
    std::string expected = "%PDF-1.2 \r\n";
    std::vector<size_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(expected.size());
        expected += object;
    }
    const size_t xref = expected.size();
    expected += "xref\r\n0 7\r\n0000000000 65535 f\r\n";
    for (size_t offset : offsets) {
        std::string digits = std::to_string(offset);
        expected += std::string(10 - digits.size(), '0') + digits + " 00000 n\r\n";
    }
    expected += "trailer\r\n<<\r\n/Size 7\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\r\nstartxref\r\n" + std::to_string(xref) +
                "\r\n%%EOF\r\n";
    EXPECT_EQ(file, expected);

    test::TempDir dir;
    test::WriteFileBytes(dir / "one.pdf", file);
    EXPECT_QPDF_CLEAN(dir / "one.pdf");
}

}  // namespace
}  // namespace tovra
