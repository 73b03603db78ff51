#include "WebpContainer.h"

#include <memory>
#include <string_view>

#include <webp/decode.h>
#include <webp/demux.h>

#include "IccProfileSpace.h"
#include "ImageErrors.h"

namespace tovra {

namespace {

struct DemuxDeleter {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

bool HasRiffWebpSignature(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12) return false;
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()), 12);
    return head.substr(0, 4) == "RIFF" && head.substr(8, 4) == "WEBP";
}

std::string RgbIccProfile(WebPDemuxer* demux) {
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demux, "ICCP", 1, &chunk)) return {};
    std::string profile(reinterpret_cast<const char*>(chunk.chunk.bytes), chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    return IccProfileFits(profile, TColorModel::RGB) ? profile : std::string();
}

}  // namespace

std::string WebpStatusReason(int status) {
    switch (status) {
        case VP8_STATUS_OUT_OF_MEMORY: return "not enough memory to decode the picture";
        case VP8_STATUS_UNSUPPORTED_FEATURE: return "the file uses a WebP feature that is not supported";
        case VP8_STATUS_NOT_ENOUGH_DATA: return "the file is truncated";
        default: return "damaged WebP data";
    }
}

TWebpLayout ReadWebpLayout(std::span<const std::uint8_t> bytes) {
    if (!HasRiffWebpSignature(bytes)) throw DecodeError("not a WebP file");
    const WebPData data{bytes.data(), bytes.size()};
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    // Parsed as a partial file so that a file cut short can be told from a damaged one.
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemuxPartial(&data, &state));
    if (!demux || state == WEBP_DEMUX_PARSE_ERROR) throw DecodeError("damaged WebP container");
    if (state != WEBP_DEMUX_DONE) throw DecodeError("the file is truncated");

    TWebpLayout layout;
    layout.Width = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
    layout.Height = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    const std::uint32_t flags = WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS);
    layout.Animated = (flags & ANIMATION_FLAG) != 0;
    if (WebPDemuxGetI(demux.get(), WEBP_FF_FRAME_COUNT) < 1) throw DecodeError("the file holds no picture");
    if (flags & ICCP_FLAG) layout.IccProfile = RgbIccProfile(demux.get());
    CheckDecodedSize(layout.Width, layout.Height, 4);
    return layout;
}

}  // namespace tovra
