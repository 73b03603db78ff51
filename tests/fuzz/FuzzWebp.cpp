// Fuzz target: the WebP reader (container check, still and animation decoding, the scaled
// screen decode) must refuse any input with tovra::Exception or decode it, never crash, hang
// or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "WebpReader.h"
#include "common/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto picture = tovra::DecodeWebp(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                                               "fuzz input");
        (void)picture->ScreenImage(32);
    } catch (const tovra::Exception&) {
    }
    return 0;
}
