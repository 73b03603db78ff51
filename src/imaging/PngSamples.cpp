#include "PngSamples.h"

#include <cstring>

#include <spng.h>

#include "PngDecoder.h"

namespace tovra {

namespace {

std::size_t RowBytesOf(const TPngHeader& header, int channels) {
    return static_cast<std::size_t>((std::uint64_t{header.Width} * channels * header.BitDepth + 7) / 8);
}

// Moves the alpha samples of a row of colour-and-alpha pixels out to `alpha`, packing the
// colour samples at the start of the row. In place: colour never moves forward.
void SplitAlpha(std::uint8_t* row, std::uint8_t* alpha, std::uint32_t width, int colorSamples, int sampleBytes) {
    const std::size_t colorBytes = static_cast<std::size_t>(colorSamples) * sampleBytes;
    const std::size_t pixelBytes = colorBytes + sampleBytes;
    for (std::uint32_t x = 0; x < width; ++x) {
        const std::uint8_t* pixel = row + pixelBytes * x;
        std::memmove(row + colorBytes * x, pixel, colorBytes);
        std::memcpy(alpha + std::size_t{x} * sampleBytes, pixel + colorBytes, static_cast<std::size_t>(sampleBytes));
    }
}

}  // namespace

TPngSamples DecodePngSamples(std::span<const std::uint8_t> file, const TPngHeader& header) {
    const TSpngContext context = OpenSpng(file);
    const int channels = header.Channels();
    const int colorChannels = header.HasAlpha() ? channels - 1 : channels;
    const int sampleBytes = header.BitDepth / 8;
    const std::size_t rawRow = RowBytesOf(header, channels);
    const std::size_t colorRow = RowBytesOf(header, colorChannels);
    const std::size_t alphaRow = header.HasAlpha() ? RowBytesOf(header, 1) : 0;
    TPngSamples samples;
    samples.Alpha.resize(alphaRow * header.Height);
    auto* alpha = reinterpret_cast<std::uint8_t*>(samples.Alpha.data());

    if (header.Interlaced) {
        // Every pass writes into the same rows: the whole picture is decoded, then split.
        samples.Color.resize(rawRow * header.Height);
        auto* raw = reinterpret_cast<std::uint8_t*>(samples.Color.data());
        DecodeSpngRows(context.get(), SPNG_FMT_RAW, 0, rawRow, [&](std::uint32_t y) { return raw + rawRow * y; },
                       [](std::uint32_t, int) {});
        if (header.HasAlpha()) {
            for (std::uint32_t y = 0; y < header.Height; ++y) {
                SplitAlpha(raw + rawRow * y, alpha + alphaRow * y, header.Width, colorChannels, sampleBytes);
                if (y > 0) std::memmove(raw + colorRow * y, raw + rawRow * y, colorRow);
            }
            samples.Color.resize(colorRow * header.Height);
            samples.Color.shrink_to_fit();
        }
        return samples;
    }

    samples.Color.resize(colorRow * header.Height);
    auto* color = reinterpret_cast<std::uint8_t*>(samples.Color.data());
    std::string row(rawRow, '\0');
    auto* rowBytes = reinterpret_cast<std::uint8_t*>(row.data());
    DecodeSpngRows(
        context.get(), SPNG_FMT_RAW, 0, rawRow, [&](std::uint32_t) { return rowBytes; },
        [&](std::uint32_t y, int) {
            if (header.HasAlpha()) SplitAlpha(rowBytes, alpha + alphaRow * y, header.Width, colorChannels, sampleBytes);
            std::memcpy(color + colorRow * y, rowBytes, colorRow);
        });
    return samples;
}

}  // namespace tovra
