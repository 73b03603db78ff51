#include "WebpDecode.h"

#include <string>

#include <webp/decode.h>
#include <webp/demux.h>

#include "ImageErrors.h"
#include "InterleavedSamples.h"

namespace tovra {

namespace {

struct AnimDecoderDeleter {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

// Frees what libwebp allocated for the output (nothing when the memory is ours).
struct DecoderConfigGuard {
    WebPDecoderConfig& config;
    ~DecoderConfigGuard() { WebPFreeDecBuffer(&config.output); }
};

// libwebp writes the pixels into our buffer, rows of `stride` bytes.
void DecodeInto(std::span<const std::uint8_t> bytes, WebPDecoderConfig& config, WEBP_CSP_MODE mode,
                std::uint8_t* pixels, std::size_t size, int stride) {
    config.output.colorspace = mode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = pixels;
    config.output.u.RGBA.stride = stride;
    config.output.u.RGBA.size = size;
    const DecoderConfigGuard guard{config};
    const VP8StatusCode status = WebPDecode(bytes.data(), bytes.size(), &config);
    if (status != VP8_STATUS_OK) throw DecodeError(WebpStatusReason(status));
}

// A tiny file can describe a huge picture (a flat colour costs almost nothing), or claim one it
// does not hold. When the picture is far larger than any real one of the file's size, it is
// first decoded scaled down to one pixel, which needs no full-size output, so that its samples
// are allocated only once the whole file has proved to decode.
void CheckWebpDecodes(std::span<const std::uint8_t> bytes, int width, int height) {
    constexpr std::int64_t kPlainPixels = std::int64_t{1} << 20;
    constexpr std::int64_t kPixelsPerByte = 64;
    const std::int64_t pixels = std::int64_t{width} * height;
    if (pixels <= kPlainPixels || pixels <= kPixelsPerByte * static_cast<std::int64_t>(bytes.size())) return;
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw DecodeError("the WebP decoder cannot be set up");
    config.options.use_scaling = 1;
    config.options.scaled_width = 1;
    config.options.scaled_height = 1;
    config.output.colorspace = MODE_RGBA;
    const DecoderConfigGuard guard{config};
    const VP8StatusCode status = WebPDecode(bytes.data(), bytes.size(), &config);
    if (status != VP8_STATUS_OK) throw DecodeError(WebpStatusReason(status));
}

}  // namespace

std::shared_ptr<TImageRecord> DecodeWebpStill(std::span<const std::uint8_t> bytes) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw DecodeError("the WebP decoder cannot be set up");
    const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &config.input);
    if (status != VP8_STATUS_OK) throw DecodeError(WebpStatusReason(status));
    const int width = config.input.width;
    const int height = config.input.height;
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    CheckDecodedSize(width, height, config.input.has_alpha ? 8 : 3);
    CheckWebpDecodes(bytes, width, height);

    if (!config.input.has_alpha) {
        std::string rgb(pixels * 3, '\0');
        DecodeInto(bytes, config, MODE_RGB, reinterpret_cast<std::uint8_t*>(rgb.data()), rgb.size(), width * 3);
        return MakeSamplesRecord(width, height, TColorModel::RGB, std::move(rgb));
    }
    // RGBA decoded, then split into samples and mask: 4 + 3 + 1 bytes a pixel at the peak.
    const auto rgba = std::make_unique_for_overwrite<std::uint8_t[]>(pixels * 4);
    DecodeInto(bytes, config, MODE_RGBA, rgba.get(), pixels * 4, width * 4);
    return RecordFromInterleaved({rgba.get(), std::ptrdiff_t{width} * 4, width, height, true, false});
}

std::shared_ptr<TImageRecord> DecodeWebpFirstFrame(std::span<const std::uint8_t> bytes, const TWebpLayout& layout) {
    // The animation decoder keeps two RGBA canvases; the samples and the mask add 4 bytes.
    CheckDecodedSize(layout.Width, layout.Height, 12);
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) throw DecodeError("the WebP decoder cannot be set up");
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData data{bytes.data(), bytes.size()};
    const std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> decoder(WebPAnimDecoderNew(&data, &options));
    if (!decoder) throw DecodeError("damaged WebP animation");
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info)) throw DecodeError("damaged WebP animation");
    std::uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp) || !canvas)
        throw DecodeError("the first frame of the animation is damaged");
    const int width = static_cast<int>(info.canvas_width);
    const int height = static_cast<int>(info.canvas_height);
    return RecordFromInterleaved({canvas, std::ptrdiff_t{width} * 4, width, height, true, false});
}

}  // namespace tovra
