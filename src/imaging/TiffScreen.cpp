#include "TiffScreen.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ImageErrors.h"
#include "RecordImage.h"
#include "TiffBands.h"
#include "TiffPage.h"
#include "TiffRgba.h"

namespace tovra {

namespace {

// Averages rows of premultiplied pixels, given from the top, into a picture at most maxSide on
// its long side (each output pixel the mean of the input pixels that fall on it).
class TBoxReducer {
public:
    TBoxReducer(int width, int height, int maxSide, bool alpha) : width_(width), height_(height) {
        const int longSide = std::max(width, height);
        if (maxSide > 0 && longSide > maxSide) {
            const double scale = static_cast<double>(maxSide) / longSide;
            outWidth_ = std::clamp(static_cast<int>(std::lround(width * scale)), 1, maxSide);
            outHeight_ = std::clamp(static_cast<int>(std::lround(height * scale)), 1, maxSide);
            sums_.assign(static_cast<std::size_t>(outWidth_) * 4, 0);
            counts_.assign(static_cast<std::size_t>(outWidth_), 0);
        } else {
            CheckDecodedSize(width, height, 4);
            outWidth_ = width;
            outHeight_ = height;
        }
        image_ = QImage(outWidth_, outHeight_, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (image_.isNull()) throw DecodeError("not enough memory for its preview");
    }

    void AddRow(const QRgb* row) {
        if (sums_.empty()) {
            std::copy(row, row + width_, reinterpret_cast<QRgb*>(image_.scanLine(y_++)));
            return;
        }
        const int outRow = static_cast<int>(std::int64_t{y_++} * outHeight_ / height_);
        if (outRow != row_) Flush();
        row_ = outRow;
        for (int x = 0; x < width_; ++x) {
            const auto out = static_cast<std::size_t>(std::int64_t{x} * outWidth_ / width_);
            std::uint64_t* sum = &sums_[out * 4];
            sum[0] += qAlpha(row[x]);
            sum[1] += qRed(row[x]);
            sum[2] += qGreen(row[x]);
            sum[3] += qBlue(row[x]);
            ++counts_[out];
        }
    }

    QImage Result() {
        Flush();
        return image_;
    }

private:
    void Flush() {
        if (row_ < 0) return;
        auto* out = reinterpret_cast<QRgb*>(image_.scanLine(row_));
        for (int x = 0; x < outWidth_; ++x) {
            const std::uint64_t n = std::max<std::uint64_t>(counts_[static_cast<std::size_t>(x)], 1);
            const std::uint64_t* sum = &sums_[static_cast<std::size_t>(x) * 4];
            const auto mean = [n](std::uint64_t total) { return static_cast<int>((total + n / 2) / n); };
            out[x] = qRgba(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
        }
        std::fill(sums_.begin(), sums_.end(), 0);
        std::fill(counts_.begin(), counts_.end(), 0);
        row_ = -1;
    }

    int width_, height_, outWidth_ = 0, outHeight_ = 0;
    int y_ = 0, row_ = -1;
    std::vector<std::uint64_t> sums_;
    std::vector<std::uint32_t> counts_;
    QImage image_;
};

QImage ViaRgba(const TTiffHandle& handle, const TTiffPage& page, int maxSide) {
    TTiffRgbaReader reader(handle, page);
    TBoxReducer reducer(page.Width, page.Height, maxSide, reader.HasAlpha());
    const auto width = static_cast<std::size_t>(page.Width);
    const auto band = std::make_unique_for_overwrite<std::uint32_t[]>(width * static_cast<std::size_t>(reader.BandRows()));
    std::vector<QRgb> row(width);
    for (int top = 0; top < page.Height; top += reader.BandRows()) {
        reader.ReadBand(top, band.get());
        for (int r = 0; r < std::min(reader.BandRows(), page.Height - top); ++r) {
            const std::uint32_t* pixels = band.get() + width * static_cast<std::size_t>(r);
            for (std::size_t x = 0; x < width; ++x)
                row[x] = qRgba(static_cast<int>(TIFFGetR(pixels[x])), static_cast<int>(TIFFGetG(pixels[x])),
                               static_cast<int>(TIFFGetB(pixels[x])), static_cast<int>(TIFFGetA(pixels[x])));
            reducer.AddRow(row.data());
        }
    }
    return reducer.Result();
}

// Samples are turned into pixels band by band the way a record's samples are shown.
QImage ViaSamples(const TTiffHandle& handle, const TTiffPage& page, int maxSide) {
    TTiffSampleReader reader(handle, page);
    const std::int64_t alphaRowBytes = reader.AlphaRowBytes();
    TBoxReducer reducer(page.Width, page.Height, maxSide, alphaRowBytes != 0);
    std::string colour(static_cast<std::size_t>(page.RowBytes() * reader.BandRows()), '\0');
    std::string alpha(static_cast<std::size_t>(alphaRowBytes * reader.BandRows()), '\0');
    TImageRecord band;
    band.Width = page.Width;
    band.BitsPerComponent = page.Bits;
    band.Color = page.Color;
    band.Palette = page.Palette;
    if (page.MinIsWhite) band.Decode = {1, 0};
    for (int top = 0; top < page.Height; top += reader.BandRows()) {
        reader.ReadBand(top, reinterpret_cast<std::uint8_t*>(colour.data()),
                        alphaRowBytes ? reinterpret_cast<std::uint8_t*>(alpha.data()) : nullptr);
        band.Height = std::min(reader.BandRows(), page.Height - top);
        band.Bytes = std::make_shared<const std::string>(colour);
        if (alphaRowBytes) {
            auto mask = std::make_shared<TImageRecord>();
            mask->Width = page.Width;
            mask->Height = band.Height;
            mask->BitsPerComponent = page.Bits;
            mask->Color = TColorModel::Gray;
            mask->Bytes = std::make_shared<const std::string>(alpha);
            band.SoftMask = std::move(mask);
        }
        const QImage pixels = SamplesToImage(band, 0).convertToFormat(
            alphaRowBytes ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (pixels.isNull()) throw DecodeError("not enough memory for its preview");
        for (int r = 0; r < band.Height; ++r) reducer.AddRow(reinterpret_cast<const QRgb*>(pixels.constScanLine(r)));
    }
    return reducer.Result();
}

}  // namespace

QImage TiffScreenImage(const TTiffHandle& handle, int maxSide) {
    const TTiffPage page = DescribeTiffPage(handle);
    CheckDecodedSize(page.Width, page.Height, 1);
    return page.Route == TTiffRoute::Rgba ? ViaRgba(handle, page, maxSide) : ViaSamples(handle, page, maxSide);
}

}  // namespace tovra
