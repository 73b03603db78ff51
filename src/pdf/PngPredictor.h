#pragma once
// PNG row prediction (ISO 32000, 7.4.4.4, predictor 15): each row of samples is written as one
// filter-type byte followed by the row filtered against the pixel on its left and the row above
// it, which turns smooth pictures into small numbers that deflate far better. The filter of each
// row is chosen adaptively: of None, Sub, Up, Average and Paeth, the one whose output bytes, read
// as signed numbers, have the smallest sum of absolute values (ties go to the lower type).
//
//   std::string rows;
//   TPngPredictor predictor(3, 8, width, rows);   // RGB, 8 bits per component
//   predictor.Write(pixels);                      // in pieces of any size
//   // rows holds height * (1 + 3 * width) bytes once every row has been written
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovra {

class TPngPredictor {
public:
    // Rows of `columns` pixels, each of `colors` components of `bitsPerComponent` bits (1, 2, 4,
    // 8 or 16), as /DecodeParms describes them; filtered rows are appended to `out`.
    TPngPredictor(int colors, int bitsPerComponent, int columns, std::string& out);

    // Bytes of one row of samples, without the filter byte.
    std::size_t RowBytes() const { return rowBytes_; }
    // Takes samples in any pieces; each row is filtered as soon as it is complete.
    void Write(std::string_view samples);
    // Bytes of an incomplete last row still waiting for the rest of it.
    std::size_t Pending() const { return filled_; }

private:
    void FilterRow(const std::uint8_t* row);

    std::size_t bytesPerPixel_;
    std::size_t rowBytes_;
    std::string& out_;
    std::vector<std::uint8_t> above_;    // the previous row; zeros above the first
    std::vector<std::uint8_t> partial_;  // a row being gathered across writes
    std::size_t filled_ = 0;
};

// The whole of `samples` (whole rows) predicted in one go.
std::string PngPredict(std::string_view samples, int colors, int bitsPerComponent, int columns);

}  // namespace tovra
