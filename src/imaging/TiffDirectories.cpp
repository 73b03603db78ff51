#include "TiffDirectories.h"

#include <optional>
#include <string>
#include <unordered_map>

#include "ImageErrors.h"

namespace tovra {

namespace {

// Reads the header and the directory entries' framing in the file's byte order.
class TDirectoryReader {
public:
    explicit TDirectoryReader(const TTiffSource& source) : source_(source) {}

    // The offset of the first directory; throws for a file that is not TIFF.
    std::uint64_t ReadHeader() {
        std::uint8_t header[16] = {};
        if (!source_.Read(header, 8, 0)) throw DecodeError("not a TIFF file (too short)");
        if (header[0] == 'I' && header[1] == 'I')
            bigEndian_ = false;
        else if (header[0] == 'M' && header[1] == 'M')
            bigEndian_ = true;
        else
            throw DecodeError("not a TIFF file");
        const std::uint64_t version = Number(header + 2, 2);
        if (version == 42) return Number(header + 4, 4);
        if (version != 43) throw DecodeError("not a TIFF file (version " + std::to_string(version) + ")");
        big_ = true;
        if (!source_.Read(header + 8, 8, 8) || Number(header + 4, 2) != 8 || Number(header + 6, 2) != 0)
            throw DecodeError("not a TIFF file (a damaged BigTIFF header)");
        return Number(header + 8, 8);
    }

    // The offset of the next directory after the one at `offset`, or nothing when that
    // directory lies (partly) outside the file or holds no entries.
    std::optional<std::uint64_t> NextOffset(std::uint64_t offset) const {
        const unsigned countSize = big_ ? 8 : 2, entrySize = big_ ? 20 : 12, offsetSize = big_ ? 8 : 4;
        std::uint8_t bytes[8] = {};
        if (!source_.Read(bytes, countSize, offset)) return std::nullopt;
        const std::uint64_t count = Number(bytes, countSize);
        // libtiff reads at most 65535 entries; a larger count is damage.
        if (count == 0 || count > 0xFFFF) return std::nullopt;
        const std::uint64_t nextAt = offset + countSize + count * entrySize;
        if (!source_.Read(bytes, offsetSize, nextAt)) return std::nullopt;
        return Number(bytes, offsetSize);
    }

private:
    std::uint64_t Number(const std::uint8_t* bytes, unsigned size) const {
        std::uint64_t value = 0;
        for (unsigned i = 0; i < size; ++i)
            value = bigEndian_ ? (value << 8) | bytes[i] : value | (std::uint64_t{bytes[i]} << (8 * i));
        return value;
    }

    const TTiffSource& source_;
    bool bigEndian_ = false;
    bool big_ = false;
};

}  // namespace

std::vector<std::uint64_t> PageDirectoryOffsets(const TTiffSource& source) {
    TDirectoryReader reader(source);
    std::uint64_t offset = reader.ReadHeader();
    std::vector<std::uint64_t> pages;
    std::unordered_map<std::uint64_t, std::size_t> pageAt;
    while (offset != 0) {
        if (const auto seen = pageAt.find(offset); seen != pageAt.end())
            throw DecodeError("its list of pages loops back on itself (page " + std::to_string(pages.size()) +
                              " leads back to page " + std::to_string(seen->second + 1) + ")");
        const std::optional<std::uint64_t> next = reader.NextOffset(offset);
        if (!next) {
            if (pages.empty()) throw DecodeError("the first page's directory is damaged or outside the file");
            break;
        }
        if (pages.size() == kMaxTiffPages)
            throw DecodeError("it has more than " + std::to_string(kMaxTiffPages) + " pages");
        pageAt.emplace(offset, pages.size());
        pages.push_back(offset);
        offset = *next;
    }
    if (pages.empty()) throw DecodeError("the file holds no picture");
    return pages;
}

}  // namespace tovra
