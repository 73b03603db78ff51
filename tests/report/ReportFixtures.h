#pragma once
// Helpers for report tests: pictures made in memory, a document with one page to print on,
// and reading a page's content stream back.
#include <memory>
#include <string>

#include <QBuffer>
#include <QImage>

#include "TestImages.h"
#include "imaging/Bitmap.h"
#include "imaging/JpegImage.h"
#include "imaging/Picture.h"
#include "pdf/PdfDoc.h"
#include "report/PRPage.h"

namespace tovra::test {

inline TPicture BitmapPicture(const QImage& image) { return TPicture(std::make_unique<TBitmap>(image)); }

inline QImage TestPattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 255) / std::max(1, width - 1), (y * 255) / std::max(1, height - 1),
                                      ((x / 8 + y / 8) % 2) * 255));
    return image;
}

inline TPicture JpegPicture(const QImage& image) {
    return TPicture(std::make_unique<TJpegImage>(ReadJpeg(EncodeJpeg(image, 95), "test.jpg")));
}

inline void SetMargins(TPRPage& page, int margin) {
    page.SetMarginTop(margin);
    page.SetMarginLeft(margin);
    page.SetMarginRight(margin);
    page.SetMarginBottom(margin);
}

// A started document with one page whose canvas the report canvas points at.
struct PrintTarget {
    TPdfDoc doc;
    TPRCanvas canvas;
    PrintTarget() {
        doc.StartDocument();
        doc.AddPage();
        canvas.PdfCanvas = doc.GetCanvas();
    }
    std::string Contents() { return doc.GetCanvas()->GetPage()->StreamByKey("Contents")->Data().Bytes(); }
};

}  // namespace tovra::test
