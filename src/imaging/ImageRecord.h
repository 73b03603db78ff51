#pragma once
// TImageRecord: a picture described the way an image XObject holds it (ISO 32000, 8.9.5),
// so that the PDF writer can carry it without knowing the file format it came from. A reader
// fills one either with decoded samples, which the writer compresses, or with data a PDF
// filter decodes as it is (a PNG's zlib stream, CCITT fax data, JPEG), then given as slices of
// the source file that the writer copies when the document is saved.
//
// Plain data: no Qt, no library types. Records are immutable once made and shared between the
// picture that shows them and the image object made from them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FileIdentity.h"

namespace tovra {

// The colour space of the samples; Indexed samples index Palette.
enum class TColorModel : std::uint8_t { Gray, RGB, CMYK, Indexed };

// Number of colour components of a sample (Indexed: 1).
inline int ComponentsOf(TColorModel model) {
    switch (model) {
        case TColorModel::RGB: return 3;
        case TColorModel::CMYK: return 4;
        default: return 1;
    }
}

// What the bytes of Data are, and so what the writer does with them.
enum class TImageEncoding : std::uint8_t {
    // Unfiltered samples: rows from the top, samples interleaved, each row starting on a byte,
    // 16-bit samples big-endian. The writer compresses them (/FlateDecode).
    Samples,
    // A zlib stream of PNG-filtered rows (a PNG's IDAT data); written as it is under
    // /FlateDecode with the predictor parameters in DecodeParms.
    Flate,
    // CCITT Group 3 or 4 fax data; written as it is under /CCITTFaxDecode.
    CCITTFax,
    // A JPEG stream; written as it is under /DCTDecode.
    DCT,
};

// A range of bytes in the source file.
struct TFileSlice {
    std::uint64_t Offset = 0;
    std::uint64_t Length = 0;
};

// The file the slices are read from, as it was when it was loaded: the writer refuses to copy
// from a file whose identity has changed since.
struct TRecordSource {
    std::string Path;
    TFileIdentity Identity;
};

// One entry of /DecodeParms: an integer, or a boolean when IsBoolean (written true/false).
struct TDecodeParm {
    std::string Key;
    std::int32_t Value = 0;
    bool IsBoolean = false;
};

struct TImageRecord {
    int Width = 0;
    int Height = 0;
    int BitsPerComponent = 8;  // 1, 2, 4, 8 or 16
    TColorModel Color = TColorModel::RGB;
    // Indexed: the colour table as red, green, blue bytes, one triple per entry (at most 256).
    // Its base is DeviceRGB, or the ICC profile's space when IccProfile is set.
    std::string Palette;
    // An embedded ICC profile (uncompressed): the colour space becomes /ICCBased with /N of
    // the colour model's components and the device space as /Alternate. Empty: device space.
    std::string IccProfile;
    // /Decode, when not the default (for example [1 0] for 1-bit data where 1 is black).
    std::vector<std::int32_t> Decode;
    // /Mask as a colour key: a min, max pair per component (PNG tRNS on grey or RGB).
    std::vector<std::int32_t> ColorKeyMask;
    // /SMask: the alpha channel as a Gray record of the same width and height.
    std::shared_ptr<const TImageRecord> SoftMask;

    TImageEncoding Encoding = TImageEncoding::Samples;
    // Written as /DecodeParms in this order when not empty.
    std::vector<TDecodeParm> DecodeParms;

    // The data: Bytes when Slices is empty, else the slices of Source in order.
    std::shared_ptr<const std::string> Bytes;
    std::vector<TFileSlice> Slices;
    std::optional<TRecordSource> Source;

    // Samples of a photo (HEIF/AVIF): the writer may embed them as one JPEG encode instead of
    // Flate, unless the document asks for exact pixels.
    bool PhotoSamples = false;
    // EXIF-style orientation 1..8 of the stored picture; the page's drawing shows it upright.
    int Orientation = 1;

    // Bytes per row of unfiltered samples.
    std::int64_t RowBytes() const {
        return (std::int64_t{Width} * ComponentsOf(Color) * BitsPerComponent + 7) / 8;
    }
    // Total length of the data (the slices added up, or the bytes held).
    std::uint64_t DataLength() const {
        if (Slices.empty()) return Bytes ? Bytes->size() : 0;
        std::uint64_t total = 0;
        for (const TFileSlice& slice : Slices) total += slice.Length;
        return total;
    }
};

}  // namespace tovra
