#include "cli/SampleImages.h"

#include <gif_lib.h>

#include <array>
#include <memory>
#include <vector>

#include <QLinearGradient>
#include <QPainter>

#include "common/Exceptions.h"

namespace tovra::samples {

namespace {

constexpr std::array<QRgb, 6> kColours = {0xffd62828, 0xfff77f00, 0xfffcbf49, 0xff2a9d8f, 0xff264653, 0xff6a4c93};

QRgb Colour(int index) { return kColours[static_cast<std::size_t>(index) % kColours.size()]; }

[[noreturn]] void CannotWrite(const std::string& path, const std::string& why) {
    throw Exception("Cannot write \"" + path + "\": " + why);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct ColourMapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

QImage DrawSample(int width, int height, int variant) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient background(0, 0, width, height);
    background.setColorAt(0, QColor(Colour(variant)));
    background.setColorAt(1, QColor(Colour(variant + 3)).lighter(160));
    painter.fillRect(image.rect(), background);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    const int unit = std::max(1, std::min(width, height) / 6);
    painter.setBrush(QColor(Colour(variant + 1)));
    painter.drawEllipse(unit, unit, 3 * unit, 3 * unit);
    painter.setBrush(QColor(Colour(variant + 2)));
    painter.drawRect(width - 3 * unit, height - 3 * unit, 2 * unit, 2 * unit);
    painter.setPen(QPen(QColor(Qt::white), std::max(1, unit / 8)));
    painter.drawLine(0, height - 1, width - 1, 0);
    painter.end();
    return image;
}

QImage Solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void SaveBmp(const QImage& image, const std::string& path, bool palette) {
    const QImage pixels = palette ? image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
                                  : image.convertToFormat(QImage::Format_RGB888);
    if (!pixels.save(QString::fromStdString(path), "BMP")) CannotWrite(path, "saving as BMP failed");
}

void SaveJpeg(const QImage& image, const std::string& path, int quality) {
    if (!image.convertToFormat(QImage::Format_RGB32).save(QString::fromStdString(path), "JPEG", quality))
        CannotWrite(path, "saving as JPEG failed (is the Qt JPEG plugin installed?)");
}

void SaveGif(const QImage& image, const std::string& path) {
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QList<QRgb> table = indexed.colorTable();
    // GIF colour tables hold a power of two entries.
    int bits = 1;
    while ((1 << bits) < table.size()) ++bits;
    std::unique_ptr<ColorMapObject, ColourMapFree> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map) CannotWrite(path, "out of memory");
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb colour = i < table.size() ? table[i] : 0;
        map->Colors[i] = {static_cast<GifByteType>(qRed(colour)), static_cast<GifByteType>(qGreen(colour)),
                          static_cast<GifByteType>(qBlue(colour))};
    }
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpenFileName(path.c_str(), false, &error));
    if (!gif) CannotWrite(path, GifErrorString(error));
    const int width = indexed.width();
    const int height = indexed.height();
    if (EGifPutScreenDesc(gif.get(), width, height, bits, 0, map.get()) == GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) == GIF_ERROR)
        CannotWrite(path, GifErrorString(gif->Error));
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const uchar* line = indexed.constScanLine(y);
        row.assign(line, line + width);
        if (EGifPutLine(gif.get(), row.data(), width) == GIF_ERROR) CannotWrite(path, GifErrorString(gif->Error));
    }
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR) CannotWrite(path, GifErrorString(error));
}

}  // namespace tovra::samples
