#pragma once
// Stream data kept outside the stream object, already encoded for the file: image data in
// the spool file (possibly still being encoded on a worker thread), or ranges of a source file
// (a JPEG file, a PNG's zlib data, a TIFF's fax strip) read from the file when the document is
// written.
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "imaging/FileIdentity.h"
#include "imaging/ImageRecord.h"
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

// Ranges of a source file, in order, copied from the file when written (in the kernel where
// the output allows). Refused when the file is no longer the one that was loaded (another
// inode, size or time, or cut short): "Cannot read <kind> file "<path>": the file has changed
// since it was loaded".
class TFileSliceData : public TPdfStreamData {
public:
    // kind names the file in messages ("JPEG", "PNG").
    TFileSliceData(std::string kind, std::string path, TFileIdentity identity, std::vector<TFileSlice> slices);
    std::uint64_t Size() override { return size_; }
    void WriteTo(TStream& out) override;

private:
    [[noreturn]] void Fail(const std::string& reason) const;

    std::string kind_;
    std::string path_;
    TFileIdentity identity_;
    std::vector<TFileSlice> slices_;
    std::uint64_t size_ = 0;
};

}  // namespace tovra
