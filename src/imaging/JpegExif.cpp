#include "JpegExif.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace tovra {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::size_t kEntrySize = 12;

// Reads numbers in the byte order the TIFF header names; every read is bounds-checked and
// yields nothing past the end, so a lying offset can never reach outside the block.
class TiffReader {
public:
    TiffReader(std::span<const std::uint8_t> bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

    std::optional<std::uint16_t> U16(std::size_t at) const {
        if (at > bytes_.size() || bytes_.size() - at < 2) return std::nullopt;
        const unsigned first = bytes_[at], second = bytes_[at + 1];
        return static_cast<std::uint16_t>(bigEndian_ ? (first << 8) | second : (second << 8) | first);
    }
    std::optional<std::uint32_t> U32(std::size_t at) const {
        const auto first = U16(at), second = U16(at + 2);
        if (!first || !second) return std::nullopt;
        return bigEndian_ ? (std::uint32_t{*first} << 16) | *second : (std::uint32_t{*second} << 16) | *first;
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
};

int ValidOrEmpty(std::uint32_t value) {
    return value >= 1 && value <= 8 ? static_cast<int>(value) : kOrientationUpright;
}

// The value of an orientation entry. Writers use SHORT as the format says; a LONG is taken too.
int EntryValue(const TiffReader& reader, std::size_t entry) {
    const auto type = reader.U16(entry + 2);
    const auto count = reader.U32(entry + 4);
    if (!type || !count || *count < 1) return kOrientationUpright;
    if (*type == kTypeShort) {
        const auto value = reader.U16(entry + 8);
        return value ? ValidOrEmpty(*value) : kOrientationUpright;
    }
    if (*type == kTypeLong && *count == 1) {
        const auto value = reader.U32(entry + 8);
        return value ? ValidOrEmpty(*value) : kOrientationUpright;
    }
    return kOrientationUpright;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

}  // namespace

int TiffOrientation(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8) return kOrientationUpright;
    bool bigEndian = false;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        bigEndian = true;
    else if (!(tiff[0] == 'I' && tiff[1] == 'I'))
        return kOrientationUpright;
    const TiffReader reader(tiff, bigEndian);
    if (reader.U16(2) != 42) return kOrientationUpright;
    const auto directory = reader.U32(4);
    const auto count = directory ? reader.U16(*directory) : std::nullopt;
    if (!count) return kOrientationUpright;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t entry = *directory + 2 + i * kEntrySize;
        const auto tag = reader.U16(entry);
        if (!tag) break;  // the directory runs past the block
        if (*tag == kOrientationTag) return EntryValue(reader, entry);
    }
    return kOrientationUpright;
}

int ReadExifOrientation(std::span<const std::uint8_t> jpeg) {
    static constexpr std::uint8_t kExifPrefix[] = {'E', 'x', 'i', 'f', 0, 0};
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return kOrientationUpright;
    std::size_t pos = 2;
    // Walks the marker segments up to the first scan; APP1 may also hold XMP, so only a
    // segment that starts with the EXIF prefix counts, and the first such one decides.
    while (pos + 1 < jpeg.size()) {
        if (jpeg[pos] != 0xFF) return kOrientationUpright;  // not a marker: the file is damaged
        const std::uint8_t marker = jpeg[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length field
            pos += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9 || pos + 4 > jpeg.size()) return kOrientationUpright;
        const std::size_t length = (std::size_t{jpeg[pos + 2]} << 8) | jpeg[pos + 3];
        if (length < 2 || pos + 2 + length > jpeg.size()) return kOrientationUpright;
        const std::span<const std::uint8_t> payload = jpeg.subspan(pos + 4, length - 2);
        if (marker == 0xE1 && StartsWith(payload, kExifPrefix))
            return TiffOrientation(payload.subspan(sizeof kExifPrefix));
        pos += 2 + length;
    }
    return kOrientationUpright;
}

}  // namespace tovra
