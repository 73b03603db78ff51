#include "BmpPixels.h"

#include <array>
#include <cmath>
#include <string>

#include "ImageErrors.h"

namespace tovra {

namespace {

std::int64_t RowBytes(const BmpHeader& h) {
    return (static_cast<std::int64_t>(h.width) * h.bitsPerPixel + 31) / 32 * 4;
}

std::uint64_t ReadLittleEndian(const std::uint8_t* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

void DecodeIndexedRow(const BmpHeader& h, const std::uint8_t* src, std::uint8_t* dst) {
    const int bpp = h.bitsPerPixel;
    if (bpp == 8) {
        std::copy(src, src + h.width, dst);
        return;
    }
    const int perByte = 8 / bpp;
    const int mask = (1 << bpp) - 1;
    for (int x = 0; x < h.width; ++x) {
        const int shift = 8 - bpp * (x % perByte + 1);  // leftmost pixel in the high bits
        dst[x] = static_cast<std::uint8_t>((src[x / perByte] >> shift) & mask);
    }
}

void DecodeRgbRow(const BmpHeader& h, const std::uint8_t* src, std::uint8_t* dst) {
    for (int x = 0; x < h.width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

void DecodeBitfieldRow(const BmpHeader& h, const std::uint8_t* src, QRgb* dst) {
    const int bytes = h.bitsPerPixel / 8;
    const bool alpha = h.alpha.Present();
    for (int x = 0; x < h.width; ++x, src += bytes) {
        const std::uint64_t v = ReadLittleEndian(src, bytes);
        dst[x] = qRgba(h.red.Extract(v), h.green.Extract(v), h.blue.Extract(v), alpha ? h.alpha.Extract(v) : 255);
    }
}

// 64-bit pixels hold blue, green, red, alpha as signed 2.13 fixed-point numbers; colours
// are linear light and are encoded to sRGB.
struct Wide64Tables {
    std::array<std::uint8_t, 65536> color{}, alpha{};
    Wide64Tables() {
        for (int i = 0; i < 65536; ++i) {
            const double v = std::clamp(static_cast<std::int16_t>(i) / 8192.0, 0.0, 1.0);
            const double srgb = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
            color[i] = static_cast<std::uint8_t>(std::lround(srgb * 255));
            alpha[i] = static_cast<std::uint8_t>(std::lround(v * 255));
        }
    }
};

void DecodeWideRow(const BmpHeader& h, const std::uint8_t* src, QRgb* dst) {
    static const Wide64Tables tables;
    for (int x = 0; x < h.width; ++x, src += 8) {
        auto channel = [&](int i) { return static_cast<std::uint16_t>(src[2 * i] | (src[2 * i + 1] << 8)); };
        dst[x] = qRgba(tables.color[channel(2)], tables.color[channel(1)], tables.color[channel(0)],
                       tables.alpha[channel(3)]);
    }
}

}  // namespace

QImage MakeBmpImage(const BmpHeader& h) {
    QImage::Format format;
    if (h.bitsPerPixel <= 8) format = QImage::Format_Indexed8;
    else if (h.bitsPerPixel == 24) format = QImage::Format_RGB888;
    else if (h.bitsPerPixel == 64 || h.alpha.Present()) format = QImage::Format_ARGB32;
    else format = QImage::Format_RGB32;
    QImage image(h.width, h.height, format);
    if (image.isNull()) throw DecodeError("not enough memory for " + std::to_string(h.width) + " x " +
                                          std::to_string(h.height) + " pixels");
    if (format == QImage::Format_Indexed8) image.setColorTable(h.palette);
    image.fill(0);
    return image;
}

void CheckBmpPlainDataPresent(const BmpHeader& h, std::size_t fileSize) {
    // The last row may lack its padding.
    const std::int64_t needed =
        RowBytes(h) * (h.height - 1) + (static_cast<std::int64_t>(h.width) * h.bitsPerPixel + 7) / 8;
    const std::int64_t present = static_cast<std::int64_t>(fileSize - h.dataOffset);
    if (needed > present)
        throw DecodeError("the file is truncated (the pixel data needs " + std::to_string(needed) + " bytes, only " +
                          std::to_string(present) + " are present)");
}

void DecodeBmpPlainPixels(const BmpHeader& h, std::span<const std::uint8_t> file, QImage& image) {
    CheckBmpPlainDataPresent(h, file.size());
    const std::int64_t rowBytes = RowBytes(h);
    const std::uint8_t* data = file.data() + h.dataOffset;
    for (int row = 0; row < h.height; ++row) {
        const std::uint8_t* src = data + row * rowBytes;
        const int y = h.topDown ? row : h.height - 1 - row;
        std::uint8_t* dst = image.scanLine(y);
        switch (h.bitsPerPixel) {
        case 1: case 2: case 4: case 8: DecodeIndexedRow(h, src, dst); break;
        case 24: DecodeRgbRow(h, src, dst); break;
        case 64: DecodeWideRow(h, src, reinterpret_cast<QRgb*>(dst)); break;
        default: DecodeBitfieldRow(h, src, reinterpret_cast<QRgb*>(dst)); break;
        }
    }
}

void CheckBmpIndices(const BmpHeader& h, const QImage& image) {
    if (image.format() != QImage::Format_Indexed8) return;
    const int colors = static_cast<int>(h.palette.size());
    if (colors >= 256) return;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (row[x] >= colors)
                throw DecodeError("a pixel uses colour " + std::to_string(row[x]) + " but the colour table has only " +
                                  std::to_string(colors) + " entries");
    }
}

void DropUselessAlpha(QImage& image) {
    if (image.format() != QImage::Format_ARGB32) return;
    const int first = qAlpha(reinterpret_cast<const QRgb*>(image.constScanLine(0))[0]);
    if (first != 0 && first != 255) return;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != first) return;
    }
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) row[x] |= 0xFF000000u;
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
}

}  // namespace tovra
