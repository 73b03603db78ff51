#include "WebpReader.h"

#include <span>

#include "FileBytes.h"
#include "ImageErrors.h"
#include "WebpContainer.h"
#include "WebpDecode.h"
#include "WebpScreen.h"

namespace tovra {

namespace {

constexpr const char* kKind = "WebP";

std::span<const std::uint8_t> BytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// A still picture is decoded again, scaled, for each size the screen asks for; the file's
// bytes stay with the decoder for that.
TScreenDecoder StillScreenDecoder(std::shared_ptr<const QByteArray> bytes, const std::string& name) {
    return [bytes = std::move(bytes), name](int maxSide) {
        try {
            return DecodeWebpForScreen(BytesOf(*bytes), maxSide);
        } catch (const DecodeError& e) {
            ThrowImageError(kKind, name, e.what());
        }
    };
}

}  // namespace

std::unique_ptr<TRecordImage> DecodeWebp(QByteArray bytes, const std::string& name) {
    auto shared = std::make_shared<const QByteArray>(std::move(bytes));
    try {
        const std::span<const std::uint8_t> data = BytesOf(*shared);
        const TWebpLayout layout = ReadWebpLayout(data);
        std::shared_ptr<TImageRecord> record = layout.Animated ? DecodeWebpFirstFrame(data, layout) : DecodeWebpStill(data);
        record->IccProfile = layout.IccProfile;
        // An animation's first frame is shown from the record: libwebp cannot compose it scaled.
        TScreenDecoder decoder = layout.Animated ? TScreenDecoder() : StillScreenDecoder(std::move(shared), name);
        return std::make_unique<TRecordImage>(std::move(record), name, std::move(decoder));
    } catch (const DecodeError& e) {
        ThrowImageError(kKind, name, e.what());
    }
}

std::unique_ptr<TRecordImage> LoadWebpFile(const std::string& path) { return DecodeWebp(ReadImageFileBytes(path, kKind), path); }

}  // namespace tovra
