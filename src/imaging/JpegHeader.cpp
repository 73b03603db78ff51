#include "JpegHeader.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

#include "ImageErrors.h"
#include "JpegExif.h"
#include "JpegHuffmanTables.h"

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
    std::int64_t fewestBlocks;  // 8 x 8 blocks of the component that has the fewest
};

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

// The blocks a component is coded in, from its sampling factors (as the frame header gives them;
// an interleaved scan codes whole MCUs, so never fewer).
std::int64_t FewestBlocks(const jpeg_decompress_struct& cinfo) {
    int maxH = 1, maxV = 1;
    for (int i = 0; i < cinfo.num_components; ++i) {
        maxH = std::max(maxH, cinfo.comp_info[i].h_samp_factor);
        maxV = std::max(maxV, cinfo.comp_info[i].v_samp_factor);
    }
    std::int64_t fewest = -1;
    for (int i = 0; i < cinfo.num_components; ++i) {
        const std::int64_t across = CeilDiv(std::int64_t{cinfo.image_width} * cinfo.comp_info[i].h_samp_factor, maxH * 8);
        const std::int64_t down = CeilDiv(std::int64_t{cinfo.image_height} * cinfo.comp_info[i].v_samp_factor, maxV * 8);
        if (fewest < 0 || across * down < fewest) fewest = across * down;
    }
    return std::max<std::int64_t>(fewest, 0);
}

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
    out->fewestBlocks = FewestBlocks(cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

TJpegInfo CheckSupported(const RawHeader& raw) {
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
    return TJpegInfo{raw.width, raw.height, raw.components, raw.adobe, raw.progressive};
}

// Huffman coding spends at least one bit on every block of every component it codes (in a
// progressive file, in its first DC scan), so a file too short for the blocks of even its
// smallest component is not the picture its header describes: a few hundred bytes claiming
// gigapixels would cost a reader minutes and gigabytes for nothing.
void CheckLengthCanHoldBlocks(const RawHeader& raw, std::uint64_t fileSize) {
    const auto bits = static_cast<std::int64_t>(std::min<std::uint64_t>(fileSize, std::uint64_t{1} << 60) * 8);
    if (bits >= raw.fewestBlocks) return;
    throw DecodeError("the file is damaged: its header gives " + std::to_string(raw.width) + " x " +
                      std::to_string(raw.height) + " pixels, which take at least " +
                      std::to_string(raw.fewestBlocks) + " bits of coded data (one per 8 x 8 block of " +
                      "its smallest colour component), but the whole file holds only " + std::to_string(bits) +
                      " bits");
}

}  // namespace

std::optional<TJpegHeaderStart> ReadJpegHeaderStart(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                                                    const std::string& name) {
    const bool wholeFile = head.size() >= fileSize;
    try {
        if (head.empty()) throw DecodeError("the file is empty");
        RawHeader raw{};
        JumpingErrorManager errors{};
        if (!ReadHeaderNoThrow(head.data(), head.size(), &raw, &errors)) {
            // Cut short, libjpeg sees an end of data where the rest of the header would be.
            if (!wholeFile) return std::nullopt;
            throw DecodeError(errors.message[0] ? errors.message : "not a readable JPEG file");
        }
        TJpegInfo info = CheckSupported(raw);
        CheckLengthCanHoldBlocks(raw, fileSize);
        info.orientation = ReadExifOrientation(head);
        info.missingHuffmanTablesAt = MissingHuffmanTablesAt(head);
        return TJpegHeaderStart{info, std::min(raw.headerEnd, head.size())};
    } catch (const DecodeError& e) {
        ThrowImageError("JPEG", name, e.what());
    }
}

bool HasJpegEndMarkerFrom(std::span<const std::uint8_t> bytes, std::size_t from) {
    for (std::size_t i = bytes.size(); i >= from + 2; --i)
        if (bytes[i - 2] == 0xFF && bytes[i - 1] == 0xD9) return true;
    return false;
}

TJpegInfo ReadJpegHeader(std::span<const std::uint8_t> bytes, const std::string& name) {
    const std::optional<TJpegHeaderStart> start = ReadJpegHeaderStart(bytes, bytes.size(), name);
    if (!HasJpegEndMarkerFrom(bytes, start->scanStart))
        ThrowImageError("JPEG", name, "the file is truncated (no end-of-image marker)");
    return start->info;
}

}  // namespace tovra
