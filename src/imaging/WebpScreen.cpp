#include "WebpScreen.h"

#include <algorithm>

#include <webp/decode.h>

#include "ImageErrors.h"
#include "WebpContainer.h"

namespace tovra {

namespace {

// The size of a width x height picture scaled down, proportions kept, to fit maxSide.
QSize FittedSize(int width, int height, int maxSide) {
    if (maxSide <= 0 || (width <= maxSide && height <= maxSide)) return {width, height};
    const std::int64_t longSide = std::max(width, height);
    const auto scaled = [&](int side) {
        return static_cast<int>(std::max<std::int64_t>(1, (std::int64_t{side} * maxSide + longSide / 2) / longSide));
    };
    return {scaled(width), scaled(height)};
}

}  // namespace

QImage DecodeWebpForScreen(std::span<const std::uint8_t> bytes, int maxSide) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw DecodeError("the WebP decoder cannot be set up");
    VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &config.input);
    if (status != VP8_STATUS_OK) throw DecodeError(WebpStatusReason(status));
    const QSize size = FittedSize(config.input.width, config.input.height, maxSide);
    CheckDecodedSize(size.width(), size.height(), 4);
    const bool alpha = config.input.has_alpha != 0;
    QImage image(size, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (image.isNull()) throw DecodeError("not enough memory to show the picture");

    if (size.width() != config.input.width || size.height() != config.input.height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = size.width();
        config.options.scaled_height = size.height();
    }
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.bits();
    config.output.u.RGBA.stride = static_cast<int>(image.bytesPerLine());
    config.output.u.RGBA.size = static_cast<std::size_t>(image.sizeInBytes());
    status = WebPDecode(bytes.data(), bytes.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) throw DecodeError(WebpStatusReason(status));
    return image;
}

}  // namespace tovra
