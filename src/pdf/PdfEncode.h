#pragma once
// How a stream's bytes are encoded on their way to the file. A stream's dictionary describes the
// bytes the file holds (/Filter, /DecodeParms); the encoding is the stream's own order to make
// them, kept apart from the dictionary so that data already encoded (a JPEG file, a PNG's zlib
// data, CCITT fax data) can never be encoded a second time.
#include <cstdint>
#include <string>
#include <string_view>

namespace tovra {

enum class TStreamEncoding : std::uint8_t {
    // Flate when /Filter names FlateDecode, else the bytes as they are: streams built by hand
    // (content streams, tests) follow their dictionary.
    ByFilter,
    // The bytes are already what /Filter says (or unfiltered): written unchanged.
    AsIs,
    // One zlib stream (see FlateCompress).
    Flate,
    // 8-bit Gray or RGB samples encoded once as a baseline JPEG (see TJpegEncodeSettings).
    Jpeg,
};

// A JPEG encode of unfiltered samples: rows from the top, samples interleaved.
struct TJpegEncodeSettings {
    int Width = 0;
    int Height = 0;
    int Components = 3;  // 1 (Gray) or 3 (RGB)
    int Quality = 92;
    bool Subsampled = false;  // chroma at half resolution both ways (4:2:0); else 4:4:4
};

// The bytes encoded as asked: Flate or JPEG; AsIs (and ByFilter, which only a stream can
// resolve) return them unchanged. Throws tovra::Exception when the encoder fails.
std::string EncodeStreamBytes(TStreamEncoding encoding, const TJpegEncodeSettings& jpeg, std::string_view raw);

// Baseline JPEG of 8-bit samples (libjpeg-turbo), the same bytes for the same input.
std::string JpegCompress(std::string_view samples, const TJpegEncodeSettings& settings);

}  // namespace tovra
