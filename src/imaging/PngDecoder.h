#pragma once
// libspng behind a small RAII handle: a decoding context over a PNG held in memory, its
// limits set, its errors turned into DecodeErrors, its rows decoded one at a time.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

struct spng_ctx;

namespace tovra {

struct TSpngFree {
    void operator()(spng_ctx* context) const;
};
using TSpngContext = std::unique_ptr<spng_ctx, TSpngFree>;

// A context reading `file` (which must outlive it), with the decoding limits applied.
TSpngContext OpenSpng(std::span<const std::uint8_t> file);

// Fails with a DecodeError for a libspng error code (0 passes).
void CheckSpng(int error);

// Where a decoded row goes (at least the row's bytes), given its row in the picture.
using TSpngRowTarget = std::function<std::uint8_t*(std::uint32_t row)>;
// Told after each row is decoded: its row in the picture and its Adam7 pass (0 when the
// picture is not interlaced). An interlaced row has only that pass's pixels written, at
// their places in the picture row.
using TSpngRowDone = std::function<void(std::uint32_t row, int pass)>;

// Decodes the picture row by row in a libspng output format (SPNG_FMT_*), rows of rowBytes.
void DecodeSpngRows(spng_ctx* context, int format, int flags, std::size_t rowBytes, const TSpngRowTarget& target,
                    const TSpngRowDone& done);

}  // namespace tovra
