#include "pdf/PngPredictor.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "common/Exceptions.h"

namespace tovra {

namespace {

enum TPngFilter : std::uint8_t { kNone, kSub, kUp, kAverage, kPaeth, kFilterCount };

// The size of a filtered byte read as a signed number.
inline std::uint32_t Magnitude(std::uint8_t value) { return value < 128 ? value : 256u - value; }

// The neighbour (left a, above b, upper left c) closest to a + b - c; ties prefer a, then b.
inline std::uint8_t PaethOf(int a, int b, int c) {
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Writes `count` bytes x filtered against their left neighbours a, the bytes above b and above
// left c; one loop per filter, so that each runs many bytes at a time.
void WriteFiltered(TPngFilter filter, const std::uint8_t* x, const std::uint8_t* a, const std::uint8_t* b,
                   const std::uint8_t* c, std::size_t count, std::uint8_t* out) {
    switch (filter) {
        case kNone: std::copy_n(x, count, out); break;
        case kSub:
            for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(x[i] - a[i]);
            break;
        case kUp:
            for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(x[i] - b[i]);
            break;
        case kAverage:
            for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(x[i] - ((a[i] + b[i]) >> 1));
            break;
        default:
            for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(x[i] - PaethOf(a[i], b[i], c[i]));
            break;
    }
}

// The missing left neighbours of a row's first pixel (at most 32 components of 16 bits).
constexpr std::uint8_t kZeros[64] = {};

using TSums = std::array<std::uint64_t, kFilterCount>;

// Pieces short enough that a 32-bit sum of magnitudes (at most 128 each) cannot overflow.
constexpr std::size_t kSumPiece = std::size_t{1} << 24;

// Adds the magnitudes of every filter's output for `count` bytes x, given their left neighbours
// a, the bytes above b and above left c. Written without branches on plain arrays, so that the
// compiler can do it many bytes at a time.
void AddMagnitudes(const std::uint8_t* x, const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* c,
                   std::size_t count, TSums& sums) {
    for (std::size_t start = 0; start < count; start += kSumPiece) {
        const std::size_t end = std::min(count, start + kSumPiece);
        std::uint32_t none = 0, sub = 0, up = 0, average = 0, paeth = 0;
        for (std::size_t i = start; i < end; ++i) {
            const std::int16_t xi = x[i], ai = a[i], bi = b[i], ci = c[i];
            const std::int16_t pa = static_cast<std::int16_t>(std::abs(bi - ci));
            const std::int16_t pb = static_cast<std::int16_t>(std::abs(ai - ci));
            const std::int16_t pc = static_cast<std::int16_t>(std::abs(ai + bi - 2 * ci));
            const std::int16_t nearest = pa <= pb && pa <= pc ? ai : pb <= pc ? bi : ci;
            none += Magnitude(static_cast<std::uint8_t>(xi));
            sub += Magnitude(static_cast<std::uint8_t>(xi - ai));
            up += Magnitude(static_cast<std::uint8_t>(xi - bi));
            average += Magnitude(static_cast<std::uint8_t>(xi - ((ai + bi) >> 1)));
            paeth += Magnitude(static_cast<std::uint8_t>(xi - nearest));
        }
        sums[kNone] += none;
        sums[kSub] += sub;
        sums[kUp] += up;
        sums[kAverage] += average;
        sums[kPaeth] += paeth;
    }
}

}  // namespace

TPngPredictor::TPngPredictor(int colors, int bitsPerComponent, int columns, std::string& out) : out_(out) {
    const bool bitsValid = bitsPerComponent == 1 || bitsPerComponent == 2 || bitsPerComponent == 4 ||
                           bitsPerComponent == 8 || bitsPerComponent == 16;
    if (colors < 1 || colors > 32 || !bitsValid || columns < 1)
        throw EPdfInvalidValue("PNG prediction needs 1 to 32 colours, 1, 2, 4, 8 or 16 bits and at least one column");
    const std::size_t bitsPerPixel = static_cast<std::size_t>(colors) * static_cast<std::size_t>(bitsPerComponent);
    // Pixels narrower than a byte are predicted from the byte before.
    bytesPerPixel_ = std::max<std::size_t>(1, bitsPerPixel / 8);
    rowBytes_ = (bitsPerPixel * static_cast<std::size_t>(columns) + 7) / 8;
    above_.assign(rowBytes_, 0);
}

void TPngPredictor::Write(std::string_view samples) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples.data());
    std::size_t left = samples.size();
    if (filled_ > 0) {
        const std::size_t take = std::min(left, rowBytes_ - filled_);
        std::copy_n(bytes, take, partial_.begin() + static_cast<std::ptrdiff_t>(filled_));
        filled_ += take;
        bytes += take;
        left -= take;
        if (filled_ < rowBytes_) return;
        FilterRow(partial_.data());
        filled_ = 0;
    }
    out_.reserve(out_.size() + (left / rowBytes_) * (rowBytes_ + 1));
    for (; left >= rowBytes_; bytes += rowBytes_, left -= rowBytes_) FilterRow(bytes);
    if (left > 0) {
        partial_.resize(rowBytes_);
        std::copy_n(bytes, left, partial_.begin());
        filled_ = left;
    }
}

void TPngPredictor::FilterRow(const std::uint8_t* row) {
    const std::uint8_t* above = above_.data();
    const std::size_t bpp = bytesPerPixel_;
    const std::size_t head = std::min(bpp, rowBytes_);
    TSums sums{};
    // The first pixel apart, against zeros on its left, so that the loop over the rest reads
    // its neighbours straight from the two rows.
    AddMagnitudes(row, kZeros, above, kZeros, head, sums);
    AddMagnitudes(row + head, row, above + head, above, rowBytes_ - head, sums);
    const auto best = static_cast<TPngFilter>(std::min_element(sums.begin(), sums.end()) - sums.begin());

    const std::size_t start = out_.size();
    out_.resize(start + 1 + rowBytes_);
    auto* filtered = reinterpret_cast<std::uint8_t*>(out_.data() + start);
    *filtered++ = best;
    WriteFiltered(best, row, kZeros, above, kZeros, head, filtered);
    WriteFiltered(best, row + head, row, above + head, above, rowBytes_ - head, filtered + head);
    std::copy_n(row, rowBytes_, above_.begin());
}

std::string PngPredict(std::string_view samples, int colors, int bitsPerComponent, int columns) {
    std::string rows;
    TPngPredictor predictor(colors, bitsPerComponent, columns, rows);
    predictor.Write(samples);
    if (predictor.Pending() != 0)
        throw EPdfInvalidValue("PNG prediction needs whole rows of " + std::to_string(predictor.RowBytes()) + " bytes");
    return rows;
}

}  // namespace tovra
