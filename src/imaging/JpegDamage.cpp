#include "JpegDamage.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>
#include <jerror.h>

#include "ImageLimits.h"

namespace tovra {

namespace {

struct DamageWatch {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool damaged;
};

bool IsDamageWarning(int code) {
    switch (code) {
        case JWRN_EXTRANEOUS_DATA:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_JPEG_EOF:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_PROGRESSION:
            return true;
        default:
            return false;
    }
}

// libjpeg's callbacks are C and must not throw: both jump back into WatchNoThrow.
extern "C" void StopOnJpegError(j_common_ptr cinfo) {
    auto* watch = reinterpret_cast<DamageWatch*>(cinfo->err);
    std::longjmp(watch->jump, 1);
}

extern "C" void StopOnDamageWarning(j_common_ptr cinfo, int level) {
    auto* watch = reinterpret_cast<DamageWatch*>(cinfo->err);
    // Level -1 is a warning; higher levels are trace messages.
    if (level != -1 || !IsDamageWarning(cinfo->err->msg_code)) return;
    watch->damaged = true;
    std::longjmp(watch->jump, 1);
}

// C-style on purpose: no object with a destructor lives in this frame, so the longjmp skips
// nothing that needs cleaning up.
void WatchNoThrow(const unsigned char* data, std::size_t size, DamageWatch* watch) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&watch->pub);
    watch->pub.error_exit = StopOnJpegError;
    watch->pub.emit_message = StopOnDamageWarning;
    watch->damaged = false;
    if (setjmp(watch->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    // Progressive data is held whole while it is decoded; beyond the limit libjpeg gives up.
    cinfo.mem->max_memory_to_use = static_cast<long>(kMaxImageBytes);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = 8;
    cinfo.dct_method = JDCT_IFAST;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    jpeg_start_decompress(&cinfo);
    const JDIMENSION rowBytes = cinfo.output_width * static_cast<JDIMENSION>(cinfo.output_components);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, rowBytes, 1);
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, row, 1);
    // Reads on to the end of the file, where extraneous bytes before the last marker show.
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

}  // namespace

bool JpegDataIsDamaged(std::span<const std::uint8_t> data) {
    DamageWatch watch{};
    WatchNoThrow(data.data(), data.size(), &watch);
    return watch.damaged;
}

}  // namespace tovra
