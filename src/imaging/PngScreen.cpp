#include "PngScreen.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <spng.h>

#include "ImageErrors.h"
#include "PngDecoder.h"

namespace tovra {

namespace {

// Averages the rows of a picture, arriving from the top, into a smaller picture: every
// source pixel falls into one target pixel, and transparent pixels do not darken the colour.
class TBoxScaler {
public:
    TBoxScaler(std::uint32_t width, std::uint32_t height, QImage& target)
        : width_(width), height_(height), target_(target), sums_(static_cast<std::size_t>(target.width()) * 4),
          columnOf_(width), columnCount_(static_cast<std::size_t>(target.width())) {
        for (std::uint32_t x = 0; x < width; ++x) {
            columnOf_[x] = static_cast<std::uint32_t>(std::uint64_t{x} * target.width() / width);
            ++columnCount_[columnOf_[x]];
        }
    }

    void AddRow(const std::uint8_t* rgba, std::uint32_t y) {
        const int targetRow = static_cast<int>(std::uint64_t{y} * target_.height() / height_);
        if (targetRow != row_) Flush();
        row_ = targetRow;
        ++rowsInBand_;
        for (std::uint32_t x = 0; x < width_; ++x, rgba += 4) {
            std::uint64_t* sum = &sums_[std::size_t{columnOf_[x]} * 4];
            const std::uint64_t alpha = rgba[3];
            sum[0] += rgba[0] * alpha;
            sum[1] += rgba[1] * alpha;
            sum[2] += rgba[2] * alpha;
            sum[3] += alpha;
        }
    }

    void Flush() {
        if (row_ < 0 || rowsInBand_ == 0) return;
        auto* out = reinterpret_cast<QRgb*>(target_.scanLine(row_));
        for (int x = 0; x < target_.width(); ++x) {
            std::uint64_t* sum = &sums_[static_cast<std::size_t>(x) * 4];
            const std::uint64_t count = std::uint64_t{columnCount_[static_cast<std::size_t>(x)]} * rowsInBand_;
            const std::uint64_t alpha = sum[3];
            if (alpha == 0 || count == 0) {
                out[x] = qRgba(0, 0, 0, 0);
            } else {
                out[x] = qRgba(static_cast<int>((sum[0] + alpha / 2) / alpha), static_cast<int>((sum[1] + alpha / 2) / alpha),
                               static_cast<int>((sum[2] + alpha / 2) / alpha), static_cast<int>((alpha + count / 2) / count));
            }
            std::fill(sum, sum + 4, 0);
        }
        rowsInBand_ = 0;
    }

private:
    std::uint32_t width_, height_;
    QImage& target_;
    std::vector<std::uint64_t> sums_;
    std::vector<std::uint32_t> columnOf_;
    std::vector<std::uint32_t> columnCount_;
    int row_ = -1;
    std::uint32_t rowsInBand_ = 0;
};

QImage NewImage(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    if (image.isNull())
        throw DecodeError("not enough memory for a " + std::to_string(width) + " x " + std::to_string(height) + " image");
    return image;
}

}  // namespace

QImage DecodePngForScreen(std::span<const std::uint8_t> file, int maxSide) {
    const TSpngContext context = OpenSpng(file);
    spng_ihdr header{};
    CheckSpng(spng_get_ihdr(context.get(), &header));
    const std::uint32_t width = header.width, height = header.height;
    const std::uint32_t longSide = std::max(width, height);
    const bool scaled = maxSide > 0 && longSide > static_cast<std::uint32_t>(maxSide);
    const std::size_t rowBytes = std::size_t{width} * 4;
    constexpr int kFlags = SPNG_DECODE_TRNS;

    const double ratio = scaled ? static_cast<double>(maxSide) / longSide : 1.0;
    const int targetWidth = std::max(1, static_cast<int>(std::lround(width * ratio)));
    const int targetHeight = std::max(1, static_cast<int>(std::lround(height * ratio)));

    if (!scaled || header.interlace_method != 0) {
        // Full size (an interlaced picture's passes fill every row again and again).
        CheckDecodedSize(width, height, 4);
        QImage image = NewImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888);
        DecodeSpngRows(context.get(), SPNG_FMT_RGBA8, kFlags, rowBytes,
                       [&](std::uint32_t y) { return image.scanLine(static_cast<int>(y)); }, [](std::uint32_t, int) {});
        if (!scaled) return image;
        return image.scaled(targetWidth, targetHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    CheckDecodedSize(width, 1, 4);
    QImage image = NewImage(targetWidth, targetHeight, QImage::Format_ARGB32);
    std::vector<std::uint8_t> row(rowBytes);
    TBoxScaler scaler(width, height, image);
    DecodeSpngRows(context.get(), SPNG_FMT_RGBA8, kFlags, rowBytes, [&](std::uint32_t) { return row.data(); },
                   [&](std::uint32_t y, int) { scaler.AddRow(row.data(), y); });
    scaler.Flush();
    return image;
}

}  // namespace tovra
