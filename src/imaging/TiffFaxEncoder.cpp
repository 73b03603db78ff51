#include "TiffFaxEncoder.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

namespace tovra {

namespace {

// A TIFF file growing in memory, refusing to grow past a limit.
struct TMemoryFile {
    std::string Bytes;
    std::uint64_t Position = 0;
    std::uint64_t Limit = 0;
    bool Failed = false;  // libtiff reported an error
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* file = static_cast<TMemoryFile*>(handle);
    if (size <= 0 || file->Position >= file->Bytes.size()) return 0;
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(size), file->Bytes.size() - file->Position);
    std::memcpy(buffer, file->Bytes.data() + file->Position, count);
    file->Position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* file = static_cast<TMemoryFile*>(handle);
    if (size < 0) return -1;
    const auto count = static_cast<std::uint64_t>(size);
    if (file->Position > file->Limit || count > file->Limit - file->Position) return -1;
    if (file->Position + count > file->Bytes.size()) file->Bytes.resize(static_cast<std::size_t>(file->Position + count));
    std::memcpy(file->Bytes.data() + file->Position, buffer, static_cast<std::size_t>(count));
    file->Position += count;
    return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<TMemoryFile*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR) base = file->Position;
    else if (whence == SEEK_END) base = file->Bytes.size();
    else if (whence != SEEK_SET) return static_cast<toff_t>(-1);
    if (offset > file->Limit || base > file->Limit - offset) return static_cast<toff_t>(-1);
    file->Position = base + offset;
    return file->Position;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return static_cast<TMemoryFile*>(handle)->Bytes.size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* data, const char*, const char*, va_list) {
    static_cast<TMemoryFile*>(data)->Failed = true;
    return 1;
}
int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TOptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// Copies the fields that decide how libtiff codes the rows.
bool DescribeLike(TIFF* out, TIFF* original, const TTiffPage& page) {
    bool ok = TIFFSetField(out, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(page.Width)) &&
              TIFFSetField(out, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(page.Height)) &&
              TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(page.Height)) &&
              TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1) && TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1) &&
              TIFFSetField(out, TIFFTAG_PHOTOMETRIC, page.Photometric) &&
              TIFFSetField(out, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
              TIFFSetField(out, TIFFTAG_COMPRESSION, page.Compression);
    if (page.Compression == COMPRESSION_CCITTFAX3)
        ok = ok && TIFFSetField(out, TIFFTAG_GROUP3OPTIONS, TiffField<std::uint32_t>(original, TIFFTAG_GROUP3OPTIONS));
    // libtiff codes one row in 2 (up to 150 dpi) or in 4 one-dimensionally in 2-D Group 3.
    float resolution = 0;
    if (TIFFGetField(original, TIFFTAG_YRESOLUTION, &resolution)) {
        ok = ok && TIFFSetField(out, TIFFTAG_YRESOLUTION, resolution) &&
             TIFFSetField(out, TIFFTAG_RESOLUTIONUNIT, TiffField<std::uint16_t>(original, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH));
    }
    return ok;
}

}  // namespace

// The in-memory file, then the TIFF writing into it (closed first).
struct TFaxStripCoder::TState {
    TMemoryFile File;
    std::unique_ptr<TIFF, TCloser> Out;
    std::uint32_t NextRow = 0;
    std::int64_t RowBytes = 0;
};

TFaxStripCoder::TFaxStripCoder(TIFF* original, const TTiffPage& page, std::uint64_t maxBytes)
    : state_(std::make_unique<TState>()) {
    constexpr std::uint64_t kHeaderBytes = 16;  // a classic header, with room for a BigTIFF one
    state_->File.Limit = kHeaderBytes + maxBytes;
    state_->RowBytes = page.RowBytes();
    std::unique_ptr<TIFFOpenOptions, TOptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) return;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &state_->File);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, &state_->File);
    // "m": no memory mapping.
    state_->Out.reset(TIFFClientOpenExt("fax", "wm", &state_->File, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                                        MapProc, UnmapProc, options.get()));
    // A small output buffer: libtiff would otherwise take one the size of the decoded page.
    constexpr tmsize_t kBufferBytes = 64 * 1024;
    if (state_->Out && (!DescribeLike(state_->Out.get(), original, page) ||
                        !TIFFWriteBufferSetup(state_->Out.get(), nullptr, kBufferBytes)))
        state_->File.Failed = true;
}

TFaxStripCoder::~TFaxStripCoder() {
    // Closing writes the directory, which is not needed (and may not fit under the limit).
    state_->File.Limit = 0;
}

bool TFaxStripCoder::AddRows(const std::uint8_t* rows, int count) {
    TIFF* out = state_->Out.get();
    for (int i = 0; i < count && out && !state_->File.Failed; ++i) {
        // libtiff's scanline writer takes a non-const buffer; its fax coders only read it.
        void* row = const_cast<std::uint8_t*>(rows + state_->RowBytes * i);
        if (TIFFWriteScanline(out, row, state_->NextRow++, 0) < 0) state_->File.Failed = true;
    }
    return out && !state_->File.Failed;
}

std::optional<std::string> TFaxStripCoder::Finish() {
    TIFF* out = state_->Out.get();
    if (!out || state_->File.Failed || !TIFFFlushData(out) || state_->File.Failed) return std::nullopt;
    const std::string& bytes = state_->File.Bytes;
    const std::uint64_t offset = TIFFGetStrileOffset(out, 0);
    const std::uint64_t length = TIFFGetStrileByteCount(out, 0);
    if (offset > bytes.size() || length > bytes.size() - offset) return std::nullopt;
    return bytes.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

}  // namespace tovra
