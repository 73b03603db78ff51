#pragma once
// EXIF blocks made by hand for tests: a TIFF structure with one directory, wrapped in an APP1
// segment and put into JPEG files.
#include <cstdint>
#include <string>
#include <vector>

#include <QByteArray>

namespace tovra::test {

using Bytes = std::vector<std::uint8_t>;

struct TiffEntry {
    std::uint16_t Tag = 0x0112;
    std::uint16_t Type = 3;  // SHORT
    std::uint32_t Count = 1;
    std::uint32_t Value = 1;  // SHORT values sit in the first two bytes of the field
};

// A TIFF structure in the given byte order whose first directory (at offset 8) holds entries.
inline Bytes TiffBlock(bool bigEndian, const std::vector<TiffEntry>& entries) {
    Bytes out;
    auto u16 = [&](std::uint32_t v) {
        if (bigEndian) {
            out.push_back(static_cast<std::uint8_t>(v >> 8));
            out.push_back(static_cast<std::uint8_t>(v));
        } else {
            out.push_back(static_cast<std::uint8_t>(v));
            out.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    };
    auto u32 = [&](std::uint32_t v) {
        if (bigEndian) {
            u16(v >> 16);
            u16(v & 0xFFFF);
        } else {
            u16(v & 0xFFFF);
            u16(v >> 16);
        }
    };
    out.push_back(bigEndian ? 'M' : 'I');
    out.push_back(bigEndian ? 'M' : 'I');
    u16(42);
    u32(8);
    u16(static_cast<std::uint32_t>(entries.size()));
    for (const TiffEntry& e : entries) {
        u16(e.Tag);
        u16(e.Type);
        u32(e.Count);
        if (e.Type == 3) {
            u16(e.Value);
            u16(0);
        } else {
            u32(e.Value);
        }
    }
    u32(0);  // no next directory
    return out;
}

inline Bytes OrientationTiff(int orientation, bool bigEndian = true) {
    return TiffBlock(bigEndian, {{0x010F, 2, 1, 0}, {0x0112, 3, 1, static_cast<std::uint32_t>(orientation)}});
}

// An APP1 marker segment holding the payload.
inline Bytes App1Segment(const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Bytes out{0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// An APP1 segment holding an EXIF block ("Exif\0\0" and the TIFF structure).
inline Bytes ExifSegment(const Bytes& tiff) {
    Bytes payload{'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return App1Segment(payload);
}

// The JPEG file with the segment put in right after its start marker and any APP0 (JFIF) segment.
inline QByteArray InsertSegment(const QByteArray& jpeg, const Bytes& segment) {
    qsizetype at = 2;
    if (jpeg.size() > 6 && static_cast<std::uint8_t>(jpeg[2]) == 0xFF && static_cast<std::uint8_t>(jpeg[3]) == 0xE0)
        at = 4 + ((static_cast<std::uint8_t>(jpeg[4]) << 8) | static_cast<std::uint8_t>(jpeg[5]));
    QByteArray out = jpeg;
    out.insert(at, QByteArray(reinterpret_cast<const char*>(segment.data()), static_cast<qsizetype>(segment.size())));
    return out;
}

inline QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation, bool bigEndian = true) {
    return InsertSegment(jpeg, ExifSegment(OrientationTiff(orientation, bigEndian)));
}

}  // namespace tovra::test
