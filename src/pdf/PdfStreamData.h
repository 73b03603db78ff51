#pragma once
// Stream data kept outside the stream object, already encoded for the file: image data in
// the spool file (possibly still being compressed on a worker thread), or a JPEG file's
// bytes read from the file itself when the document is written.
#include <cstdint>
#include <future>
#include <memory>

#include "imaging/JpegFile.h"
#include "pdf/PdfSpool.h"
#include "pdf/PdfStreams.h"

namespace tovra {

class TPdfStreamData {
public:
    virtual ~TPdfStreamData() = default;
    // The number of bytes WriteTo writes; may wait for work still running.
    virtual std::uint64_t Size() = 0;
    virtual void WriteTo(TStream& out) = 0;
};

// Bytes in a spool file, once the work that puts them there is done. A failure of that work
// (compression, a full disk) is raised by Size and WriteTo.
class TSpooledData : public TPdfStreamData {
public:
    TSpooledData(std::shared_ptr<TSpoolFile> spool, std::shared_future<TSpoolSlice> slice)
        : spool_(std::move(spool)), slice_(std::move(slice)) {}
    std::uint64_t Size() override { return slice_.get().Length; }
    void WriteTo(TStream& out) override { spool_->CopyTo(slice_.get(), out); }

private:
    std::shared_ptr<TSpoolFile> spool_;
    std::shared_future<TSpoolSlice> slice_;
};

// A JPEG file's bytes, copied from the file when written and refused when the file has
// changed since the picture was loaded.
class TJpegFileData : public TPdfStreamData {
public:
    explicit TJpegFileData(TJpegFileSource source) : source_(std::move(source)) {}
    std::uint64_t Size() override { return static_cast<std::uint64_t>(source_.Identity.Size); }
    void WriteTo(TStream& out) override;

private:
    TJpegFileSource source_;
};

}  // namespace tovra
