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
    std::vector<std::pair<std::string, QByteArray>> damaged = {
        {"bytes before EOI", good.left(good.size() - 2) + QByteArray(32, '\x5A') + end},
        {"cut short", good.left(good.size() * 2 / 3)},
        {"marker inside the scan", good.left(good.size() / 2) + QByteArray("\xFF\xD4", 2) + good.mid(good.size() / 2)},
    };
    std::vector<std::pair<std::string, QByteArray>> sound = {{"sound", good}, {"no JPEG at all", "not a picture"}};
    if (!CorpusPath("").empty()) {
        const auto corpus = [](const char* name) {
            return std::pair(std::string(name), QByteArray::fromStdString(ReadFileBytes(CorpusPath(std::string("jpeg/") + name))));
        };
        damaged.push_back(corpus("truncated_jpeg.jpg"));
        damaged.push_back(corpus("mjpeg.jpg"));  // 6 extraneous bytes before a restart marker
        for (const char* name : {"restarts.jpg", "video-001.progressive.jpeg", "jpg-cmyk-1.jpg", "video-005.gray.jpeg",
                                 "Landscape_5.jpg"})
            sound.push_back(corpus(name));
    }
    for (const auto& [name, bytes] : damaged) EXPECT_TRUE(Damaged(bytes)) << name;
    for (const auto& [name, bytes] : sound) EXPECT_FALSE(Damaged(bytes)) << name;
}

}  // namespace
}  // namespace tovra::test
