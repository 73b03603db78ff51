#include "TiffReader.h"

#include <new>

#include "ImageErrors.h"
#include "TiffDecode.h"
#include "TiffDirectories.h"
#include "TiffScreen.h"

namespace tovra {

namespace {

const std::string kKind = "TIFF";

// Runs work on page `page` of the source; a failure names the page when there are several.
template <typename Work>
auto OnPage(const TTiffSource& source, const std::string& name, int page, Work&& work) {
    const std::vector<std::uint64_t> pages = PageDirectoryOffsets(source);
    const auto count = static_cast<int>(pages.size());
    if (page < 0 || page >= count)
        throw DecodeError("it has no page " + std::to_string(page + 1) + " (it has " + std::to_string(count) + ")");
    try {
        const TTiffHandle handle(source, name, pages[static_cast<std::size_t>(page)]);
        return work(handle);
    } catch (const DecodeError& e) {
        if (count == 1) throw;
        throw DecodeError("page " + std::to_string(page + 1) + " of " + std::to_string(count) + ": " + e.what());
    }
}

// Runs a reading step and turns its failures into the reader's message naming the file.
template <typename Step>
auto Reporting(const std::string& name, Step&& step) {
    try {
        return step();
    } catch (const DecodeError& e) {
        ThrowImageError(kKind, name, e.what());
    } catch (const std::bad_alloc&) {
        ThrowImageError(kKind, name, "not enough memory to decode it");
    }
}

int CountPages(const TTiffSource& source) {
    try {
        return static_cast<int>(PageDirectoryOffsets(source).size());
    } catch (const DecodeError&) {
        return 1;
    }
}

QImage ScreenOfFile(const std::string& path, int page, const TFileIdentity& identity, int maxSide) {
    return Reporting(path, [&] {
        const TTiffSource source = TTiffSource::FromFile(path);
        if (source.Identity() != identity) throw DecodeError("the file has changed since it was loaded");
        return OnPage(source, path, page, [maxSide](const TTiffHandle& handle) { return TiffScreenImage(handle, maxSide); });
    });
}

}  // namespace

int CountTiffPages(const std::string& path) {
    try {
        return CountPages(TTiffSource::FromFile(path));
    } catch (const DecodeError&) {
        return 1;
    }
}

std::unique_ptr<TRecordImage> LoadTiffFile(const std::string& path, int page) {
    return Reporting(path, [&] {
        const TTiffSource source = TTiffSource::FromFile(path);
        if (!source.Identity()) throw DecodeError("the file's identity cannot be read");
        const TRecordSource origin{path, *source.Identity()};
        auto record = OnPage(source, path, page,
                             [&origin](const TTiffHandle& handle) { return DecodeTiffPage(handle, origin); });
        TScreenDecoder decoder = [path, page, identity = origin.Identity](int maxSide) {
            return ScreenOfFile(path, page, identity, maxSide);
        };
        return std::make_unique<TRecordImage>(std::move(record), path, std::move(decoder));
    });
}

int CountTiffPages(std::span<const std::uint8_t> bytes) { return CountPages(TTiffSource::FromMemory(bytes)); }

std::shared_ptr<const TImageRecord> DecodeTiff(std::span<const std::uint8_t> bytes, const std::string& name, int page) {
    return Reporting(name, [&] {
        return OnPage(TTiffSource::FromMemory(bytes), name, page,
                      [](const TTiffHandle& handle) { return DecodeTiffPage(handle, std::nullopt); });
    });
}

QImage DecodeTiffScreen(std::span<const std::uint8_t> bytes, const std::string& name, int page, int maxSide) {
    return Reporting(name, [&] {
        return OnPage(TTiffSource::FromMemory(bytes), name, page,
                      [maxSide](const TTiffHandle& handle) { return TiffScreenImage(handle, maxSide); });
    });
}

}  // namespace tovra
