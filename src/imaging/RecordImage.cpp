#include "RecordImage.h"

#include <algorithm>

#include "common/Exceptions.h"

namespace tovra {

namespace {

// Sample `index` of a row of `bits`-bit samples, scaled to 0..255.
int SampleAt(const std::uint8_t* row, std::int64_t index, int bits) {
    switch (bits) {
        case 16: return row[index * 2];
        case 8: return row[index];
        default: {
            const std::int64_t bit = index * bits;
            const int shift = 8 - bits - static_cast<int>(bit % 8);
            const int value = (row[bit / 8] >> shift) & ((1 << bits) - 1);
            return value * 255 / ((1 << bits) - 1);
        }
    }
}

// The raw sample value (not scaled), for colour keys and palette indices.
int RawSampleAt(const std::uint8_t* row, std::int64_t index, int bits) {
    switch (bits) {
        case 16: return (row[index * 2] << 8) | row[index * 2 + 1];
        case 8: return row[index];
        default: {
            const std::int64_t bit = index * bits;
            const int shift = 8 - bits - static_cast<int>(bit % 8);
            return (row[bit / 8] >> shift) & ((1 << bits) - 1);
        }
    }
}

QImage ScaledDown(QImage image, int maxSide) {
    if (maxSide <= 0 || (image.width() <= maxSide && image.height() <= maxSide)) return image;
    return image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

TRecordImage::TRecordImage(std::shared_ptr<const TImageRecord> record, std::string name, TScreenDecoder decoder)
    : record_(std::move(record)), name_(std::move(name)), decoder_(std::move(decoder)) {
    if (!record_) throw Exception("TRecordImage: no image record");
}

std::unique_ptr<TGraphic> TRecordImage::Clone() const {
    return std::make_unique<TRecordImage>(record_, name_, decoder_);
}

QImage TRecordImage::ScreenImage(int maxSide) const {
    const int side = std::max(maxSide, 0);
    if (!screen_.isNull() && side == screenSide_) return screen_;
    screen_ = QImage();
    screen_ = decoder_ ? decoder_(side) : SamplesToImage(*record_, side);
    screenSide_ = side;
    return screen_;
}

QImage SamplesToImage(const TImageRecord& record, int maxSide) {
    if (record.Encoding != TImageEncoding::Samples || !record.Bytes || record.Width <= 0 || record.Height <= 0)
        return QImage();
    const std::int64_t rowBytes = record.RowBytes();
    if (static_cast<std::int64_t>(record.Bytes->size()) < rowBytes * record.Height) return QImage();
    const TImageRecord* mask = record.SoftMask.get();
    const bool maskUsable = mask && mask->Encoding == TImageEncoding::Samples && mask->Bytes &&
                            mask->Width == record.Width && mask->Height == record.Height &&
                            static_cast<std::int64_t>(mask->Bytes->size()) >= mask->RowBytes() * mask->Height;
    const bool keyed = !record.ColorKeyMask.empty();
    QImage image(record.Width, record.Height,
                 maskUsable || keyed ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) throw Exception("not enough memory for a " + std::to_string(record.Width) + " x " +
                                        std::to_string(record.Height) + " image");
    const int components = ComponentsOf(record.Color);
    const int bits = record.BitsPerComponent;
    const bool inverted = record.Decode.size() >= 2 && record.Decode[0] > record.Decode[1];
    const auto* data = reinterpret_cast<const std::uint8_t*>(record.Bytes->data());
    for (int y = 0; y < record.Height; ++y) {
        const std::uint8_t* row = data + rowBytes * y;
        const std::uint8_t* maskRow = maskUsable ? reinterpret_cast<const std::uint8_t*>(mask->Bytes->data()) +
                                                       mask->RowBytes() * y
                                                 : nullptr;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < record.Width; ++x) {
            const std::int64_t first = std::int64_t{x} * components;
            int r = 0, g = 0, b = 0;
            switch (record.Color) {
                case TColorModel::Gray:
                    r = g = b = SampleAt(row, first, bits);
                    if (inverted) r = g = b = 255 - r;
                    break;
                case TColorModel::RGB:
                    r = SampleAt(row, first, bits);
                    g = SampleAt(row, first + 1, bits);
                    b = SampleAt(row, first + 2, bits);
                    break;
                case TColorModel::CMYK: {
                    const int k = SampleAt(row, first + 3, bits);
                    r = 255 - std::min(255, SampleAt(row, first, bits) + k);
                    g = 255 - std::min(255, SampleAt(row, first + 1, bits) + k);
                    b = 255 - std::min(255, SampleAt(row, first + 2, bits) + k);
                    break;
                }
                case TColorModel::Indexed: {
                    const std::size_t index = static_cast<std::size_t>(RawSampleAt(row, first, bits));
                    if (index * 3 + 2 < record.Palette.size()) {
                        r = static_cast<std::uint8_t>(record.Palette[index * 3]);
                        g = static_cast<std::uint8_t>(record.Palette[index * 3 + 1]);
                        b = static_cast<std::uint8_t>(record.Palette[index * 3 + 2]);
                    }
                    break;
                }
            }
            int alpha = 255;
            if (maskRow) alpha = SampleAt(maskRow, x, mask->BitsPerComponent);
            if (keyed) {
                bool inKey = true;
                for (int c = 0; c < components && inKey; ++c) {
                    const std::size_t at = static_cast<std::size_t>(c) * 2;
                    if (at + 1 >= record.ColorKeyMask.size()) break;
                    const int value = RawSampleAt(row, first + c, bits);
                    inKey = value >= record.ColorKeyMask[at] && value <= record.ColorKeyMask[at + 1];
                }
                if (inKey) alpha = 0;
            }
            out[x] = qRgba(r, g, b, alpha);
        }
    }
    return ScaledDown(std::move(image), maxSide);
}

}  // namespace tovra
