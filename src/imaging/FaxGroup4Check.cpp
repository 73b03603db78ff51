#include "FaxGroup4Check.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "FaxCodes.h"

namespace tovra {

namespace {

// A row as the positions of its changing pixels: the first black pixel, the first white one
// after it, and so on, strictly rising, all below the width. The row before the first is white.
using TChanges = std::vector<std::uint32_t>;

// The modes of two-dimensional coding; vertical modes are numbered 0 to 6, for a1 - b1 + 3.
enum TMode : int { kHorizontal = 7, kPass = 8 };

// b1 and b2 on the row above, for a0 moving right along the row below: b1 is the first changing
// pixel right of a0 whose colour is not a0's, b2 the next change after it (the width where there
// is none). This is what libtiff's coder finds by scanning pixels (finddiff), taken from the
// changes: the colour after change j is black for even j.
class TRowAbove {
public:
    TRowAbove(const TChanges& row, std::uint32_t width) : row_(row), width_(width) {}

    // At the row's start a0 is the white pixel imagined before it: b1 is the first change.
    void Find(std::uint32_t a0, int colour, bool rowStart, std::uint32_t& b1, std::uint32_t& b2) {
        std::size_t j = 0;
        if (!rowStart) {
            while (next_ < row_.size() && row_[next_] <= a0) ++next_;  // a0 only moves right
            j = next_ + ((next_ & 1) != static_cast<std::size_t>(colour) ? 1 : 0);
        }
        b1 = j < row_.size() ? row_[j] : width_;
        b2 = j + 1 < row_.size() ? row_[j + 1] : width_;
    }

private:
    const TChanges& row_;
    std::uint32_t width_;
    std::size_t next_ = 0;  // changes at or before the last a0
};

class TGroup4Reader {
public:
    explicit TGroup4Reader(std::string_view bytes) : bytes_(bytes), end_(std::uint64_t{bytes.size()} * 8) {}

    // Reads one row below `above` into `row`; false when the bits are not what libtiff's coder
    // (Fax3Encode2DRow) writes for that row. At each step the coder stands at a0 with the colour
    // of a0; a1 is the row's next changing pixel right of a0, b1 and b2 the changes above it. It
    // writes pass when b2 < a1, else vertical when a1 - b1 is -3 to 3, else horizontal with the
    // runs to a1 and on to the change after it. The reader checks each mode against that rule,
    // with every change it reads lying right of a0, so that the a1 the coder saw is the one read
    // next (pass) or now (vertical, horizontal).
    bool ReadRow(const TChanges& above, std::uint32_t width, TChanges& row) {
        row.clear();
        TRowAbove up(above, width);
        std::uint32_t a0 = 0;
        int colour = 0;
        bool rowStart = true;  // a0 is the white pixel imagined before the row; a1 may be 0
        while (a0 < width) {
            std::uint32_t b1 = 0, b2 = 0;
            up.Find(a0, colour, rowStart, b1, b2);
            const std::uint64_t least = rowStart ? 0 : std::uint64_t{a0} + 1;  // for a1
            const int mode = ReadMode();
            if (mode < 0) return false;
            if (mode == kPass) {
                // Changes read later lie right of b2, as the coder's a1 did.
                if (b2 >= width) return false;
                a0 = b2;
            } else if (mode != kHorizontal) {
                const std::int64_t a1 = std::int64_t{b1} + mode - 3;
                if (a1 < static_cast<std::int64_t>(least) || a1 > b2 || !Change(row, static_cast<std::uint32_t>(a1), width))
                    return false;
                a0 = static_cast<std::uint32_t>(a1);
                colour ^= 1;
            } else {
                std::uint32_t run1 = 0, run2 = 0;
                if (!ReadRun(colour, width, run1) || !ReadRun(colour ^ 1, width, run2)) return false;
                const std::uint64_t a1 = std::uint64_t{a0} + run1, a2 = a1 + run2;
                const std::int64_t offset = static_cast<std::int64_t>(a1) - b1;
                // a2 is the change after a1 (none past the width), so after a1 = width nothing.
                if (a1 < least || a1 > b2 || (offset >= -3 && offset <= 3) || a2 > width ||
                    !Change(row, static_cast<std::uint32_t>(a1), width) || (a1 < width && a2 == a1) ||
                    !Change(row, static_cast<std::uint32_t>(a2), width))
                    return false;
                a0 = static_cast<std::uint32_t>(a2);
            }
            rowStart = false;
            if (position_ > end_) return false;
        }
        return true;
    }

    // After the last row: the end-of-block code or nothing, then only zero bits.
    bool EndsWell() {
        constexpr std::uint32_t kEndOfBlock = 0x001001;  // two end-of-line codes
        if (Peek(24) == kEndOfBlock) position_ += 24;
        if (position_ > end_) return false;
        const std::uint64_t byte = position_ / 8;
        if (byte < bytes_.size() && (static_cast<std::uint8_t>(bytes_[byte]) & (0xFFu >> (position_ % 8))) != 0) return false;
        return std::all_of(bytes_.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(byte + 1, bytes_.size())),
                           bytes_.end(), [](char c) { return c == 0; });
    }

private:
    // The next n bits (at most 25), zeros past the end.
    std::uint32_t Peek(int n) const {
        const std::uint64_t first = position_ / 8;
        std::uint32_t window = 0;
        if (first + 4 <= bytes_.size()) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(bytes_.data() + first);
            window = std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
        } else {
            for (std::uint64_t i = first; i < first + 4; ++i)
                window = window << 8 | (i < bytes_.size() ? static_cast<std::uint8_t>(bytes_[i]) : 0u);
        }
        return (window << (position_ % 8)) >> (32 - n);
    }

    // The next mode code: 0 to 6 for vertical (a1 - b1 + 3), kHorizontal or kPass; -1 for an
    // extension or end-of-line code, which libtiff never writes inside its rows.
    int ReadMode() {
        const std::uint32_t bits = Peek(7);
        struct TCode { int Mode, Length; };
        TCode code{-1, 0};
        if (bits >= 0x40) code = {3, 1};                    // 1: V0
        else if (bits >> 4 == 3) code = {4, 3};             // 011: VR1
        else if (bits >> 4 == 2) code = {2, 3};             // 010: VL1
        else if (bits >> 4 == 1) code = {kHorizontal, 3};   // 001
        else if (bits >> 3 == 1) code = {kPass, 4};         // 0001
        else if (bits >> 1 == 3) code = {5, 6};             // 000011: VR2
        else if (bits >> 1 == 2) code = {1, 6};             // 000010: VL2
        else if (bits == 3) code = {6, 7};                  // 0000011: VR3
        else if (bits == 2) code = {0, 7};                  // 0000010: VL3
        position_ += static_cast<std::uint64_t>(code.Length);
        return code.Mode;
    }

    // A run of one colour: make-up codes, then a terminating code, as libtiff writes them: 2560
    // while 2624 or more are left, then at most one make-up code for the multiple of 64 left.
    bool ReadRun(int colour, std::uint32_t width, std::uint32_t& run) {
        run = 0;
        std::uint32_t full = 0, last = 0;  // the 2560s, and another make-up code after them
        for (;;) {
            const std::uint32_t bits = Peek(kFaxCodeBits);
            const TFaxCode code = colour ? BlackFaxCode(bits) : WhiteFaxCode(bits);
            if (code.Run < 0) return false;
            position_ += code.Length;
            run += static_cast<std::uint32_t>(code.Run);
            if (run > width) return false;
            if (code.Run < 64) break;
            if (last != 0) return false;  // only the terminating code follows that one
            if (code.Run == 2560) ++full;
            else last = static_cast<std::uint32_t>(code.Run);
        }
        std::uint32_t left = run, expectedFull = 0;
        while (left >= 2624) {
            left -= 2560;
            ++expectedFull;
        }
        if (left >= 2560) ++expectedFull;
        const std::uint32_t expectedLast = left >= 64 && left < 2560 ? left / 64 * 64 : 0;
        return full == expectedFull && last == expectedLast;
    }

    // Adds a changing pixel (none at the width itself); false unless it lies right of the last.
    static bool Change(TChanges& row, std::uint32_t x, std::uint32_t width) {
        if (x == width) return true;
        if (!row.empty() && x <= row.back()) return false;
        row.push_back(x);
        return true;
    }

    std::string_view bytes_;
    std::uint64_t position_ = 0;
    std::uint64_t end_;
};

}  // namespace

bool IsLibtiffGroup4Coding(std::string_view strip, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    const auto columns = static_cast<std::uint32_t>(width);
    TGroup4Reader reader(strip);
    TChanges above, row;
    for (int y = 0; y < height; ++y) {
        if (!reader.ReadRow(above, columns, row)) return false;
        above.swap(row);
    }
    return reader.EndsWell();
}

}  // namespace tovra
