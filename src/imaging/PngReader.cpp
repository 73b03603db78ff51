#include "PngReader.h"

#include <new>

#include "FileBytes.h"
#include "ImageErrors.h"
#include "PngRecord.h"
#include "PngScreen.h"

namespace tovra {

namespace {

constexpr const char* kKind = "PNG";

std::span<const std::uint8_t> SpanOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// Runs a step of decoding, turning its failures into the message that names the file.
template <typename Step>
auto Named(const std::string& name, Step step) {
    try {
        return step();
    } catch (const DecodeError& e) {
        ThrowImageError(kKind, name, e.what());
    } catch (const std::bad_alloc&) {
        ThrowImageError(kKind, name, "not enough memory to decode the picture");
    }
}

// The screen pixels are decoded from the file again, if it is still the file that was loaded.
TScreenDecoder FileScreenDecoder(const TRecordSource& source) {
    return [source](int maxSide) {
        TFileIdentity now;
        const QByteArray bytes = ReadImageFileBytes(source.Path, kKind, &now);
        if (!(now == source.Identity)) ThrowImageError(kKind, source.Path, "the file has changed since it was loaded");
        return Named(source.Path, [&] { return DecodePngForScreen(SpanOf(bytes), maxSide); });
    };
}

}  // namespace

std::unique_ptr<TRecordImage> LoadPngFile(const std::string& path) {
    TRecordSource source{path, {}};
    const QByteArray bytes = ReadImageFileBytes(path, kKind, &source.Identity);
    auto record = Named(path, [&] { return MakePngRecord(SpanOf(bytes), source); });
    return std::make_unique<TRecordImage>(std::move(record), path, FileScreenDecoder(source));
}

std::unique_ptr<TRecordImage> DecodePngBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
    auto record = Named(name, [&] { return MakePngRecord(bytes, std::nullopt); });
    auto copy = std::make_shared<const std::string>(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    TScreenDecoder decoder = [copy, name](int maxSide) {
        return Named(name, [&] {
            return DecodePngForScreen({reinterpret_cast<const std::uint8_t*>(copy->data()), copy->size()}, maxSide);
        });
    };
    return std::make_unique<TRecordImage>(std::move(record), name, std::move(decoder));
}

}  // namespace tovra
