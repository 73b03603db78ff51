#pragma once
// The run-length codes of CCITT fax coding (ITU-T T.4, tables 2 and 3): terminating codes for
// runs of 0 to 63 pixels, make-up codes for multiples of 64, per colour, read from the front of
// a bit stream.
#include <cstdint>

namespace tovra {

struct TFaxCode {
    std::int16_t Run = -1;     // pixels, or -1: no code starts with these bits
    std::uint8_t Length = 0;   // bits
};

// The longest run-length code, in bits.
constexpr int kFaxCodeBits = 13;

// The code at the front of `bits`: the next kFaxCodeBits bits of the stream, the first one
// highest. Runs of 64 and more are make-up codes, to be followed by more codes of the same colour.
TFaxCode WhiteFaxCode(std::uint32_t bits);
TFaxCode BlackFaxCode(std::uint32_t bits);

}  // namespace tovra
