#include "PngDecoder.h"

#include <string>

#include <spng.h>

#include "ImageErrors.h"

namespace tovra {

namespace {

// The largest ancillary chunk libspng reads, and all it keeps of them (text, profiles ...,
// inflated): more is refused. The image data is not counted.
constexpr std::size_t kSpngChunkBytes = std::size_t{64} * 1024 * 1024;

}  // namespace

void TSpngFree::operator()(spng_ctx* context) const { spng_ctx_free(context); }

void CheckSpng(int error) {
    if (error == 0) return;
    if (error == SPNG_EOF || error == SPNG_EOI) throw DecodeError("the file is truncated");
    throw DecodeError(std::string("damaged PNG data (") + spng_strerror(error) + ")");
}

TSpngContext OpenSpng(std::span<const std::uint8_t> file) {
    TSpngContext context(spng_ctx_new(0));
    if (!context) throw DecodeError("not enough memory to decode the picture");
    CheckSpng(spng_set_png_buffer(context.get(), file.data(), file.size()));
    CheckSpng(spng_set_chunk_limits(context.get(), kSpngChunkBytes, kSpngChunkBytes));
    return context;
}

void DecodeSpngRows(spng_ctx* context, int format, int flags, std::size_t rowBytes, const TSpngRowTarget& target,
                    const TSpngRowDone& done) {
    CheckSpng(spng_decode_image(context, nullptr, 0, format, flags | SPNG_DECODE_PROGRESSIVE));
    for (;;) {
        spng_row_info info{};
        const int status = spng_get_row_info(context, &info);
        if (status == SPNG_EOI) return;
        CheckSpng(status);
        const int error = spng_decode_row(context, target(info.row_num), rowBytes);
        if (error != 0 && error != SPNG_EOI) CheckSpng(error);
        done(info.row_num, info.pass);
        if (error == SPNG_EOI) return;
    }
}

}  // namespace tovra
