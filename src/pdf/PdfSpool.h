#pragma once
// A scratch file for stream data that is ready for the PDF but not yet written: image data
// leaves memory once its page is printed and is copied into the file when the document is
// saved, so a batch of any length needs about as much memory as one picture.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfStreams.h"

namespace tovra {

// A range of bytes in a spool file.
struct TSpoolSlice {
    std::uint64_t Offset = 0;
    std::uint64_t Length = 0;
};

// An anonymous temporary file: created on first use in the first folder of the list that
// takes it, and unlinked at once, so it vanishes with the process whatever happens.
// Appending is safe from several threads at once.
class TSpoolFile {
public:
    explicit TSpoolFile(std::vector<std::string> folders);
    ~TSpoolFile();
    TSpoolFile(const TSpoolFile&) = delete;
    TSpoolFile& operator=(const TSpoolFile&) = delete;

    // Stores the bytes and says where. A full disk or any other write error raises an
    // Exception naming the folder and the reason.
    TSpoolSlice Append(std::string_view bytes);
    // Writes the slice's bytes to the stream.
    void CopyTo(const TSpoolSlice& slice, TStream& out) const;
    // The folder the file was made in, or "" before the first Append.
    const std::string& Folder() const { return folder_; }

private:
    void Open();

    std::vector<std::string> candidates_;
    std::string folder_;
    int fd_ = -1;
    std::uint64_t end_ = 0;
    std::mutex mutex_;
};

// The folders a spool file is tried in: the given one (normally the output's) unless empty, then
// $TMPDIR, then /tmp.
std::vector<std::string> SpoolFolders(const std::string& preferred);

// A buffer every copy of stream data goes through, one per thread and reused, so that
// copying never allocates per image.
std::vector<char>& CopyBuffer();

}  // namespace tovra
