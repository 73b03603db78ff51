#include "DecodedPictureChecks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "common/Exceptions.h"

namespace tovra::test {

QImage GradientPicture(int width, int height, bool alpha, bool neutral) {
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int r = x * 255 / (width - 1), g = y * 255 / (height - 1);
            const int b = std::abs(x - y) < width / 4 ? 200 : 40, a = alpha ? 255 - r : 255;
            image.setPixel(x, y, neutral ? qRgba((r + g) / 2, (r + g) / 2, (r + g) / 2, a) : qRgba(r, g, b, a));
        }
    return image;
}

double MeanDelta(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    for (int y = 0; y < pa.height(); ++y)
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y), q = pb.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) +
                     std::abs(qAlpha(p) - qAlpha(q));
        }
    return total / (4.0 * pa.width() * pa.height());
}

int CheckDamagedCopies(const std::string& good, const std::string& kind, const std::string& extension,
                       const std::function<void(const std::string& path)>& load) {
    const TempDir dir;
    std::vector<std::pair<std::string, std::string>> copies = {
        {"half", good.substr(0, good.size() / 2)},
        {"tail-cut", good.substr(0, good.size() - 7)},
        {"header-broken", std::string("\0\0\0\x18", 4) + good.substr(4, 4) + "\xff\xff\xff\xff" + good.substr(12)},
        {"empty", ""},
        {"other-kind", "\x89PNG\r\n\x1a\n" + good.substr(8)},
    };
    std::mt19937 random(13);
    for (int i = 0; i < 150; ++i) {
        std::string changed = good;
        for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n)
            changed[random() % changed.size()] ^= static_cast<char>(1 << (random() % 8));
        copies.emplace_back("changed-" + std::to_string(i), std::move(changed));
    }
    int refused = 0;
    testing::internal::CaptureStderr();
    for (const auto& [label, bytes] : copies) {
        const std::string path = (dir / (label + extension)).string();
        WriteFileBytes(path, bytes);
        try {
            load(path);
            EXPECT_TRUE(label.starts_with("changed-")) << label << " was not refused";
        } catch (const Exception& e) {
            ++refused;
            EXPECT_TRUE(std::string(e.what()).starts_with("Cannot read " + kind + " file \"" + path + "\": ")) << e.what();
        }
    }
    std::filesystem::create_directory(dir / ("folder" + extension));
    EXPECT_THROW(load((dir / ("folder" + extension)).string()), Exception);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    return refused;
}

}  // namespace tovra::test
