#include "JpegHeader.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

#include "ImageErrors.h"
#include "JpegExif.h"

namespace tovra {

namespace {

constexpr int kMaxJpegSide = 65500;  // libjpeg's JPEG_MAX_DIMENSION: larger cannot be decoded

// libjpeg reports fatal errors through error_exit, a C callback that must not return.
// It jumps back into ReadHeaderNoThrow, which returns a failure; the C++ exception is
// thrown only after every libjpeg frame has been left.
struct JumpingErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void JumpOnJpegError(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

extern "C" void IgnoreJpegMessage(j_common_ptr, int) {}

struct RawHeader {
    int width, height, components, precision;
    bool adobe, progressive, arithmetic;
    std::size_t headerEnd;  // offset of the first scan's entropy-coded data
};

// C-style on purpose: no object with a destructor lives in this frame, so the longjmp
// skips nothing that needs cleaning up.
bool ReadHeaderNoThrow(const unsigned char* data, std::size_t size, RawHeader* out, JumpingErrorManager* errors) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors->pub);
    errors->pub.error_exit = JumpOnJpegError;
    errors->pub.emit_message = IgnoreJpegMessage;
    errors->message[0] = '\0';
    if (setjmp(errors->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    out->width = static_cast<int>(cinfo.image_width);
    out->height = static_cast<int>(cinfo.image_height);
    out->components = cinfo.num_components;
    out->precision = cinfo.data_precision;
    out->adobe = cinfo.saw_Adobe_marker != 0;
    out->progressive = cinfo.progressive_mode != 0;
    out->arithmetic = cinfo.arith_code != 0;
    out->headerEnd = size - cinfo.src->bytes_in_buffer;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Entropy-coded data never holds FF D9 (a data byte FF is followed by 00), so a complete
// file has the end-of-image marker somewhere after the header of the first scan.
bool HasEndMarkerAfter(std::span<const std::uint8_t> bytes, std::size_t from) {
    for (std::size_t i = from; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9) return true;
    return false;
}

TJpegInfo Check(const RawHeader& raw, std::span<const std::uint8_t> bytes) {
    if (raw.precision != 8)
        throw DecodeError(std::to_string(raw.precision) + "-bit JPEG data is not supported (only 8 bits per sample)");
    if (raw.arithmetic)
        throw DecodeError("arithmetic-coded JPEG data is not supported (PDF readers expect Huffman coding)");
    if (raw.components != 1 && raw.components != 3 && raw.components != 4)
        throw DecodeError("JPEG data with " + std::to_string(raw.components) +
                          " colour components is not supported (only 1, 3 or 4)");
    if (raw.width > kMaxJpegSide || raw.height > kMaxJpegSide)
        throw DecodeError("the picture is too large (" + std::to_string(raw.width) + " x " +
                          std::to_string(raw.height) + " pixels; at most " + std::to_string(kMaxJpegSide) +
                          " on each side)");
    if (!HasEndMarkerAfter(bytes, std::min(raw.headerEnd, bytes.size())))
        throw DecodeError("the file is truncated (no end-of-image marker)");
    return TJpegInfo{raw.width, raw.height, raw.components, raw.adobe, raw.progressive};
}

}  // namespace

TJpegInfo ReadJpegHeader(std::span<const std::uint8_t> bytes, const std::string& name) {
    try {
        if (bytes.empty()) throw DecodeError("the file is empty");
        RawHeader raw{};
        JumpingErrorManager errors{};
        if (!ReadHeaderNoThrow(bytes.data(), bytes.size(), &raw, &errors))
            throw DecodeError(errors.message[0] ? errors.message : "not a readable JPEG file");
        TJpegInfo info = Check(raw, bytes);
        info.orientation = ReadExifOrientation(bytes);
        return info;
    } catch (const DecodeError& e) {
        ThrowImageError("JPEG", name, e.what());
    }
}

}  // namespace tovra
