#include "BmpRle.h"

#include <string>

#include "ByteReader.h"
#include "ImageErrors.h"

namespace tovra {

namespace {

// Writes pixels of one encoding at a cursor that moves bottom-up through the image.
class RleCanvas {
public:
    RleCanvas(const BmpHeader& h, QImage& image) : h_(h), image_(image) {}

    int X() const { return x_; }
    int Y() const { return y_; }
    bool Finished() const { return y_ >= h_.height || (y_ == h_.height - 1 && x_ >= h_.width); }

    // Makes room for count pixels on the current row.
    void Reserve(int count) {
        if (y_ >= h_.height) throw DecodeError("the RLE data runs past the last row");
        if (count > h_.width - x_)
            throw DecodeError("an RLE run overflows row " + std::to_string(y_) + " (" + std::to_string(x_) + " + " +
                              std::to_string(count) + " pixels, width " + std::to_string(h_.width) + ")");
    }
    void PutIndex(std::uint8_t index) { image_.scanLine(h_.height - 1 - y_)[x_++] = index; }
    void PutRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = image_.scanLine(h_.height - 1 - y_) + 3 * x_++;
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
    void EndOfLine() {
        x_ = 0;
        ++y_;
    }
    void Delta(int dx, int dy) {
        x_ += dx;
        y_ += dy;
        if (x_ > h_.width || y_ > h_.height || (y_ == h_.height && x_ > 0))
            throw DecodeError("an RLE delta moves outside the picture");
    }

private:
    const BmpHeader& h_;
    QImage& image_;
    int x_ = 0;
    int y_ = 0;  // counted from the bottom row
};

void ReadEncodedRun(BmpEncoding encoding, int count, ByteReader& in, RleCanvas& canvas) {
    canvas.Reserve(count);
    if (encoding == BmpEncoding::Rle24) {
        const std::uint8_t b = in.U8(), g = in.U8(), r = in.U8();
        for (int i = 0; i < count; ++i) canvas.PutRgb(r, g, b);
        return;
    }
    const std::uint8_t value = in.U8();
    for (int i = 0; i < count; ++i) {
        if (encoding == BmpEncoding::Rle8) canvas.PutIndex(value);
        else canvas.PutIndex(i % 2 == 0 ? value >> 4 : value & 0x0F);
    }
}

void ReadAbsoluteRun(BmpEncoding encoding, int count, ByteReader& in, RleCanvas& canvas) {
    canvas.Reserve(count);
    std::size_t bytes = 0;
    if (encoding == BmpEncoding::Rle24) {
        bytes = 3 * static_cast<std::size_t>(count);
        const auto data = in.Take(bytes);
        for (int i = 0; i < count; ++i) canvas.PutRgb(data[3 * i + 2], data[3 * i + 1], data[3 * i]);
    } else if (encoding == BmpEncoding::Rle8) {
        bytes = static_cast<std::size_t>(count);
        for (std::uint8_t value : in.Take(bytes)) canvas.PutIndex(value);
    } else {
        bytes = (static_cast<std::size_t>(count) + 1) / 2;
        const auto data = in.Take(bytes);
        for (int i = 0; i < count; ++i) canvas.PutIndex(i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 0x0F);
    }
    if (bytes % 2) in.Skip(1);  // absolute runs are padded to 16 bits
}

}  // namespace

void DecodeBmpRlePixels(const BmpHeader& h, std::span<const std::uint8_t> file, QImage& image) {
    ByteReader in(file.subspan(h.dataOffset), h.dataOffset);
    RleCanvas canvas(h, image);
    for (;;) {
        if (in.AtEnd()) {
            // Some writers stop after the last row without an end-of-bitmap code.
            if (canvas.Finished()) return;
            throw DecodeError("the file is truncated (the RLE data ends at row " + std::to_string(canvas.Y()) +
                              " of " + std::to_string(h.height) + ")");
        }
        const std::uint8_t count = in.U8();
        if (count > 0) {
            ReadEncodedRun(h.encoding, count, in, canvas);
            continue;
        }
        const std::uint8_t code = in.U8();
        if (code == 0) {
            canvas.EndOfLine();
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            const std::uint8_t dx = in.U8();
            canvas.Delta(dx, in.U8());
        } else {
            ReadAbsoluteRun(h.encoding, code, in, canvas);
        }
    }
}

}  // namespace tovra
