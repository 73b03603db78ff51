// TBitmap, TJpegImage and TPicture as containers: kinds, pixel formats, copies.
#include <gtest/gtest.h>

#include <QBuffer>

#include "Bitmap.h"
#include "ImageTestHelpers.h"
#include "JpegImage.h"
#include "Picture.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

TEST(Bitmap, PixelFormatFollowsTheImageFormat) {
    EXPECT_EQ(TBitmap().PixelFormat(), pfDevice);
    EXPECT_EQ(TBitmap(QImage(2, 2, QImage::Format_Mono)).PixelFormat(), pf1bit);
    EXPECT_EQ(TBitmap(QImage(2, 2, QImage::Format_Indexed8)).PixelFormat(), pf8bit);
    EXPECT_EQ(TBitmap(QImage(2, 2, QImage::Format_RGB555)).PixelFormat(), pf15bit);
    EXPECT_EQ(TBitmap(QImage(2, 2, QImage::Format_RGB16)).PixelFormat(), pf16bit);
    EXPECT_EQ(TBitmap(QImage(2, 2, QImage::Format_RGB888)).PixelFormat(), pf24bit);
    EXPECT_EQ(TBitmap(QImage(2, 2, QImage::Format_ARGB32)).PixelFormat(), pf32bit);
    EXPECT_EQ(TBitmap(QImage(2, 2, QImage::Format_Grayscale16)).PixelFormat(), pfCustom);
}

TEST(Bitmap, ConvertingOneBitToEightBitKeepsTheColours) {
    QImage mono(9, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    mono.fill(0);
    mono.setPixel(8, 1, 1);
    TBitmap bitmap(mono);
    bitmap.SetPixelFormat(pf8bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
    EXPECT_EQ(bitmap.Palette(), (QList<QRgb>{qRgb(10, 20, 30), qRgb(200, 100, 50)}));
    EXPECT_EQ(bitmap.ScanLine(1)[8], 1);
    EXPECT_EQ(bitmap.ScanLine(0)[8], 0);
}

TEST(Bitmap, TwentyFourBitRowsHoldRedGreenBlue) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(1, 2, 3, 4));
    image.setPixel(1, 0, qRgb(250, 0, 0));
    image.setPixel(2, 0, qRgb(0, 0, 250));
    TBitmap bitmap(image);
    bitmap.SetPixelFormat(pf24bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    const std::uint8_t* row = bitmap.ScanLine(0);
    EXPECT_EQ((std::vector<int>(row + 3, row + 9)), (std::vector<int>{250, 0, 0, 0, 0, 250}));
    EXPECT_GE(bitmap.BytesPerLine(), 9);
    EXPECT_THROW(bitmap.SetPixelFormat(pf4bit), Exception);
}

TEST(Picture, OwnsOneGraphicAndCopiesIt) {
    TPicture empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_FALSE(empty.IsBitmap());

    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    TPicture picture(std::make_unique<TBitmap>(image));
    EXPECT_TRUE(picture.IsBitmap());
    EXPECT_EQ(picture.Jpeg(), nullptr);
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 3);

    TPicture copy = picture;
    ASSERT_NE(copy.Graphic(), picture.Graphic());
    const_cast<TBitmap*>(copy.Bitmap())->SetImage(QImage(1, 1, QImage::Format_RGB32));
    EXPECT_EQ(picture.Width(), 4);  // the original is untouched

    TBitmap assigned;
    assigned.Assign(picture);
    EXPECT_EQ(assigned.Image(), image);
    assigned.Assign(empty);
    EXPECT_TRUE(assigned.Empty());
}

TEST(Picture, BitmapCopiesAJpegByDecodingItAtFullSize) {
    QImage source(40, 30, QImage::Format_RGB32);
    source.fill(qRgb(200, 40, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "JPEG"));
    TPicture picture(std::make_unique<TJpegImage>(ReadJpeg(bytes, "x.jpg")));
    EXPECT_TRUE(picture.IsJpeg());
    TBitmap bitmap;
    bitmap.Assign(picture);
    EXPECT_EQ(bitmap.Width(), 40);
    EXPECT_EQ(bitmap.Height(), 30);
    EXPECT_NEAR(qRed(bitmap.Image().pixel(20, 15)), 200, 6);
}

}  // namespace
}  // namespace tovra::test
