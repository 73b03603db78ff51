#pragma once
// Error reporting shared by the decoders. Inside a decoder a problem is raised as a
// DecodeError carrying only the reason; the decoder's public entry point catches it and
// throws tovra::Exception with the file kind and name, so every message names the file.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tovra {

class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot read <kind> file "<name>": <reason>"
std::string ImageErrorMessage(const std::string& kind, const std::string& name, const std::string& reason);
[[noreturn]] void ThrowImageError(const std::string& kind, const std::string& name, const std::string& reason);

// Fails with a DecodeError when a width x height picture of the given bytes per pixel
// would exceed the decoding limits of ImageLimits.h; dimensions must be positive.
void CheckDecodedSize(std::int64_t width, std::int64_t height, int bytesPerPixel);

}  // namespace tovra
