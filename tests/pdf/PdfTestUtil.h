#pragma once
// Small helpers shared by the PDF writer tests: serializing one object, saving a document
// with a fixed clock, cutting one indirect object out of a saved file, and checking a file
// with qpdf.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "pdf/PdfDoc.h"

namespace tovra::test {

inline constexpr TDateTime kFixedTime = 45356.379895833335;  // 2024-03-05 09:07:03

inline std::string Written(TPdfObject& object) {
    TMemoryStream stream;
    object.WriteValue(stream);
    return stream.Bytes();
}

inline std::string Saved(TPdfDoc& doc) {
    TMemoryStream stream;
    doc.SaveToStream(stream);
    return stream.Bytes();
}

// A document whose dates are always kFixedTime.
inline void FixClock(TPdfDoc& doc) {
    doc.Clock = [] { return kFixedTime; };
}

// The value of indirect object `number` in a saved file (between "N 0 obj\r\n" and "\r\nendobj").
inline std::string ObjectBody(const std::string& file, int number) {
    const std::string head = "\n" + std::to_string(number) + " 0 obj\r\n";
    const size_t start = file.find(head);
    if (start == std::string::npos) return "<missing object " + std::to_string(number) + ">";
    const size_t from = start + head.size();
    return file.substr(from, file.find("\r\nendobj\r\n", from) - from);
}

// Writes the bytes to a temporary file and expects `qpdf --check` to find nothing.
inline void ExpectQpdfClean(const std::string& file) {
    TempDir dir;
    WriteFileBytes(dir / "check.pdf", file);
    EXPECT_QPDF_CLEAN(dir / "check.pdf");
}

// An image XObject made by hand: one grey pixel, not yet registered.
inline std::unique_ptr<TPdfImage> MakeImage() {
    auto image = std::make_unique<TPdfImage>();
    image->Dict().Put("Type", std::make_unique<TPdfName>("XObject"));
    image->Dict().Put("Subtype", std::make_unique<TPdfName>("Image"));
    image->Dict().Put("Width", std::make_unique<TPdfNumber>(1));
    image->Dict().Put("Height", std::make_unique<TPdfNumber>(1));
    image->Dict().Put("ColorSpace", std::make_unique<TPdfName>("DeviceGray"));
    image->Dict().Put("BitsPerComponent", std::make_unique<TPdfNumber>(8));
    image->Data().Write("\x80", 1);
    return image;
}

// Expects `statement` to throw exactly `Class` (not a subclass, not a base) with `message`.
#define EXPECT_THROW_MSG(statement, Class, message)                                            \
    do {                                                                                       \
        try {                                                                                  \
            statement;                                                                         \
            ADD_FAILURE() << #statement " did not throw";                                      \
        } catch (const std::exception& e) {                                                    \
            EXPECT_EQ(typeid(e), typeid(Class)) << #statement " threw " << typeid(e).name();   \
            EXPECT_EQ(std::string(e.what()), std::string(message));                            \
        }                                                                                      \
    } while (0)

}  // namespace tovra::test
