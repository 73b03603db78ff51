#include "BmpReader.h"

#include "BmpHeader.h"
#include "BmpPixels.h"
#include "BmpRle.h"
#include "ImageErrors.h"

namespace tovra {

QImage DecodeBmp(std::span<const std::uint8_t> bytes, const std::string& name) {
    try {
        const BmpHeader header = ReadBmpHeader(bytes);
        if (header.encoding == BmpEncoding::Plain) CheckBmpPlainDataPresent(header, bytes.size());
        QImage image = MakeBmpImage(header);
        if (header.encoding == BmpEncoding::Plain)
            DecodeBmpPlainPixels(header, bytes, image);
        else
            DecodeBmpRlePixels(header, bytes, image);
        CheckBmpIndices(header, image);
        DropUselessAlpha(image);
        return image;
    } catch (const DecodeError& e) {
        ThrowImageError("BMP", name, e.what());
    }
}

}  // namespace tovra
