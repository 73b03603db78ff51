#pragma once
// Helpers for report tests: pictures made in memory, a document with one page to print on,
// and reading a page's content stream back.
#include <memory>
#include <string>

#include <QBuffer>
#include <QImage>

#include "ExifBlocks.h"
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

// A JPEG picture whose file says, through its EXIF orientation, how its pixels are to be turned.
inline TPicture OrientedJpegPicture(const QImage& stored, int orientation) {
    return TPicture(
        std::make_unique<TJpegImage>(ReadJpeg(WithExifOrientation(EncodeJpeg(stored, 95), orientation), "turned.jpg")));
}

// What a camera stores for an upright picture it records with the given orientation, made pixel
// by pixel from the orientation's meaning: where the stored rows and columns belong upright.
inline QImage StoredForOrientation(const QImage& upright, int orientation) {
    const bool swapped = orientation >= 5 && orientation <= 8;
    const int uw = upright.width(), uh = upright.height();
    QImage stored(swapped ? uh : uw, swapped ? uw : uh, QImage::Format_RGB32);
    for (int sy = 0; sy < stored.height(); ++sy) {
        for (int sx = 0; sx < stored.width(); ++sx) {
            int ux = sx, uy = sy;
            switch (orientation) {
                case 2: ux = uw - 1 - sx; break;
                case 3: ux = uw - 1 - sx; uy = uh - 1 - sy; break;
                case 4: uy = uh - 1 - sy; break;
                case 5: ux = sy; uy = sx; break;
                case 6: ux = uw - 1 - sy; uy = sx; break;
                case 7: ux = uw - 1 - sy; uy = uh - 1 - sx; break;
                case 8: ux = sy; uy = uh - 1 - sx; break;
                default: break;
            }
            stored.setPixel(sx, sy, upright.pixel(ux, uy));
        }
    }
    return stored;
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
