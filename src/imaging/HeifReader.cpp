#include "HeifReader.h"

#include <span>

#include "FileBytes.h"
#include "HeifDecode.h"
#include "ImageErrors.h"

namespace tovra {

namespace {

constexpr const char* kKind = "HEIF";

}  // namespace

std::unique_ptr<TRecordImage> DecodeHeif(const QByteArray& bytes, const std::string& name) {
    try {
        const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                 static_cast<std::size_t>(bytes.size()));
        // The screen is shown from the decoded samples: libheif cannot decode at a smaller size,
        // and decoding again would only repeat the work.
        return std::make_unique<TRecordImage>(DecodeHeifPrimary(data), name);
    } catch (const DecodeError& e) {
        ThrowImageError(kKind, name, e.what());
    }
}

std::unique_ptr<TRecordImage> LoadHeifFile(const std::string& path) { return DecodeHeif(ReadImageFileBytes(path, kKind), path); }

}  // namespace tovra
