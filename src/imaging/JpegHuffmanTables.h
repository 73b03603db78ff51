#pragma once
// Motion-JPEG frames: baseline JPEG data without Huffman tables, which decoders are expected to
// take from the standard (ITU T.81, Annex K.3). Some PDF readers do not, and show nothing; the
// frame gets the standard tables written into it before its first scan instead.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovra {

// Where the first scan's SOS marker begins when the data is baseline (SOF0) and no DHT segment
// comes before that scan; nothing when it has tables, another frame type, or a header that
// does not reach a scan.
std::optional<std::size_t> MissingHuffmanTablesAt(std::span<const std::uint8_t> head);

// One DHT segment holding the four tables of Annex K.3 (tables K.3 to K.6): DC and AC for
// luminance (table 0) and chrominance (table 1).
std::string_view StandardHuffmanTablesSegment();

// The JPEG data with StandardHuffmanTablesSegment inserted at `at`; every other byte as it was.
std::string WithStandardHuffmanTables(std::span<const std::uint8_t> jpeg, std::size_t at);

}  // namespace tovra
