#include "InterleavedSamples.h"

#include <algorithm>

namespace tovra {

namespace {

const std::uint8_t* RowOf(const TInterleavedPixels& pixels, int y) { return pixels.Data + pixels.Stride * y; }

int ChannelsOf(const TInterleavedPixels& pixels) { return pixels.HasAlpha ? 4 : 3; }

bool AllOpaque(const TInterleavedPixels& pixels) {
    if (!pixels.HasAlpha) return true;
    for (int y = 0; y < pixels.Height; ++y) {
        const std::uint8_t* row = RowOf(pixels, y);
        for (int x = 0; x < pixels.Width; ++x)
            if (row[x * 4 + 3] != 255) return false;
    }
    return true;
}

bool AllNeutral(const TInterleavedPixels& pixels) {
    const int channels = ChannelsOf(pixels);
    for (int y = 0; y < pixels.Height; ++y) {
        const std::uint8_t* row = RowOf(pixels, y);
        for (int x = 0; x < pixels.Width; ++x) {
            const std::uint8_t* p = row + x * channels;
            if (p[0] != p[1] || p[1] != p[2]) return false;
        }
    }
    return true;
}

// A colour sample multiplied by alpha, back to its own value.
std::uint8_t Unpremultiplied(std::uint8_t value, std::uint8_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<std::uint8_t>(std::min(255, (value * 255 + alpha / 2) / alpha));
}

}  // namespace

std::shared_ptr<TImageRecord> MakeSamplesRecord(int width, int height, TColorModel color, std::string bytes) {
    auto record = std::make_shared<TImageRecord>();
    record->Width = width;
    record->Height = height;
    record->BitsPerComponent = 8;
    record->Color = color;
    record->Encoding = TImageEncoding::Samples;
    record->Bytes = std::make_shared<const std::string>(std::move(bytes));
    return record;
}

std::shared_ptr<TImageRecord> RecordFromInterleaved(const TInterleavedPixels& pixels, TSamplesChoice choice) {
    const bool withMask = !AllOpaque(pixels);
    const bool gray = choice.GrayWhenNeutral && AllNeutral(pixels);
    const int channels = ChannelsOf(pixels);
    const int outChannels = gray ? 1 : 3;
    const auto width = static_cast<std::size_t>(pixels.Width);
    std::string colour(width * outChannels * static_cast<std::size_t>(pixels.Height), '\0');
    std::string alpha(withMask ? width * static_cast<std::size_t>(pixels.Height) : 0, '\0');
    const bool divide = withMask && pixels.Premultiplied;
    for (int y = 0; y < pixels.Height; ++y) {
        const std::uint8_t* row = RowOf(pixels, y);
        char* out = colour.data() + width * outChannels * static_cast<std::size_t>(y);
        char* outAlpha = withMask ? alpha.data() + width * static_cast<std::size_t>(y) : nullptr;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* p = row + x * channels;
            const std::uint8_t a = pixels.HasAlpha ? p[3] : 255;
            for (int c = 0; c < outChannels; ++c)
                out[x * outChannels + c] = static_cast<char>(divide ? Unpremultiplied(p[c], a) : p[c]);
            if (outAlpha) outAlpha[x] = static_cast<char>(a);
        }
    }
    auto record = MakeSamplesRecord(pixels.Width, pixels.Height, gray ? TColorModel::Gray : TColorModel::RGB, std::move(colour));
    if (withMask) record->SoftMask = MakeSamplesRecord(pixels.Width, pixels.Height, TColorModel::Gray, std::move(alpha));
    return record;
}

}  // namespace tovra
