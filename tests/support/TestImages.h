#pragma once
// Pictures made in memory for tests.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <gtest/gtest.h>

namespace tovra::test {

// The image saved as a JPEG file's bytes.
inline QByteArray EncodeJpeg(const QImage& image, int quality = 90) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", quality));
    return bytes;
}

}  // namespace tovra::test
