// JPEG encoding of decoded photos (libjpeg-turbo): the costly step of a HEIF or AVIF page, run
// on the compression workers like Flate.
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <memory>
#include <string>

#include <jpeglib.h>

#include "common/Exceptions.h"
#include "pdf/PdfEncode.h"

namespace tovra {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back into
// CompressNoThrow, and the C++ exception is thrown only after every libjpeg frame is left.
struct JumpingErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void JumpOnEncoderError(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JumpingErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

extern "C" void IgnoreEncoderMessage(j_common_ptr, int) {}

// C-style on purpose: nothing with a destructor lives in this frame, so the longjmp skips no
// clean-up. The output buffer is malloc'ed by libjpeg; the caller frees it.
bool CompressNoThrow(const unsigned char* samples, const TJpegEncodeSettings* settings, unsigned char** out,
                     unsigned long* outSize, JumpingErrors* errors) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors->pub);
    errors->pub.error_exit = JumpOnEncoderError;
    errors->pub.emit_message = IgnoreEncoderMessage;
    errors->message[0] = '\0';
    if (setjmp(errors->jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(settings->Width);
    cinfo.image_height = static_cast<JDIMENSION>(settings->Height);
    cinfo.input_components = settings->Components;
    cinfo.in_color_space = settings->Components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, settings->Quality, TRUE);
    cinfo.optimize_coding = TRUE;  // smaller files for the same pixels
    if (settings->Components == 3) {
        const int factor = settings->Subsampled ? 2 : 1;
        cinfo.comp_info[0].h_samp_factor = factor;
        cinfo.comp_info[0].v_samp_factor = factor;
        for (int c = 1; c < 3; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(settings->Width) * static_cast<std::size_t>(settings->Components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(samples + rowBytes * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

struct MallocFree {
    void operator()(unsigned char* p) const { std::free(p); }
};

}  // namespace

std::string JpegCompress(std::string_view samples, const TJpegEncodeSettings& settings) {
    if (settings.Width <= 0 || settings.Height <= 0 || (settings.Components != 1 && settings.Components != 3))
        throw Exception("JPEG encoding needs 8-bit Gray or RGB samples of a positive size");
    const auto needed = static_cast<std::size_t>(settings.Width) * static_cast<std::size_t>(settings.Height) *
                        static_cast<std::size_t>(settings.Components);
    if (samples.size() < needed)
        throw Exception("JPEG encoding: " + std::to_string(samples.size()) + " bytes of samples for a " +
                        std::to_string(settings.Width) + " x " + std::to_string(settings.Height) + " picture");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    JumpingErrors errors;
    const bool ok =
        CompressNoThrow(reinterpret_cast<const unsigned char*>(samples.data()), &settings, &buffer, &size, &errors);
    const std::unique_ptr<unsigned char, MallocFree> owned(buffer);
    if (!ok) throw Exception(std::string("JPEG encoding failed: ") + errors.message);
    return std::string(reinterpret_cast<const char*>(buffer), size);
}

}  // namespace tovra
