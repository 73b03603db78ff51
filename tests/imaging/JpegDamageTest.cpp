// Damage libjpeg warns about while decoding (extraneous bytes, a file cut short, a bad scan),
// told apart from sound files of every kind, made here and taken from the corpus.
#include <gtest/gtest.h>

#include "ImageTestHelpers.h"
#include "JpegDamage.h"
#include "TestImages.h"
#include "TestSupport.h"

namespace tovra::test {
namespace {

bool Damaged(const QByteArray& bytes) {
    return JpegDataIsDamaged({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size())});
}

TEST(JpegDamage, WarningsAboutTheDataAndNothingElse) {
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 0xFF));
    const QByteArray good = EncodeJpeg(image);
    const QByteArray end = good.right(2);  // the EOI marker
    const struct {
        const char* name;
        QByteArray bytes;
        bool damaged;
    } cases[] = {
        {"sound", good, false},
        {"bytes before EOI", good.left(good.size() - 2) + QByteArray(32, '\x5A') + end, true},
        {"cut short", good.left(good.size() * 2 / 3), true},
        {"marker inside the scan", good.left(good.size() / 2) + QByteArray("\xFF\xD4", 2) + good.mid(good.size() / 2), true},
        {"no JPEG at all", QByteArray("not a picture"), false},
    };
    for (const auto& c : cases) EXPECT_EQ(Damaged(c.bytes), c.damaged) << c.name;
}

TEST(JpegDamage, CorpusFiles) {
    REQUIRE_CORPUS();
    const struct {
        const char* name;
        bool damaged;
    } cases[] = {
        {"truncated_jpeg.jpg", true}, {"mjpeg.jpg", true},  // 6 extraneous bytes before a restart marker
        {"restarts.jpg", false},      {"video-001.progressive.jpeg", false},
        {"jpg-cmyk-1.jpg", false},    {"video-005.gray.jpeg", false},
        {"Landscape_5.jpg", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Damaged(QByteArray::fromStdString(ReadFileBytes(CorpusPath(std::string("jpeg/") + c.name)))),
                  c.damaged)
            << c.name;
}

}  // namespace
}  // namespace tovra::test
