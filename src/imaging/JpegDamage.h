#pragma once
// Whether libjpeg finds damage in a JPEG's compressed data while decoding it: the warnings it
// prints as "Corrupt JPEG data: ..." (extraneous bytes, a bad Huffman code, a missing restart
// marker, a segment cut short), "Premature end of JPEG file" and invalid scans. Decoders carry
// on past them with made-up pixels, so such a picture still shows and still goes into a PDF as
// it is; this lets the program say that it is damaged.
#include <cstdint>
#include <span>

namespace tovra {

// Decodes the data at one eighth of its size and stops at the first damage warning. False for
// data libjpeg cannot decode at all (its decoders report that themselves) and for data it would
// need more than the decoding limits to check.
bool JpegDataIsDamaged(std::span<const std::uint8_t> data);

}  // namespace tovra
