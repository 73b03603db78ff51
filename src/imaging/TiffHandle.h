#pragma once
// One page of a TIFF file opened with libtiff over a TTiffSource. libtiff's warnings and errors
// go to this handle, never to the terminal: the first error becomes part of the message the
// reader reports, warnings are only counted. libtiff's single allocations are capped at the
// decoding limit of ImageLimits.h.
#include <cstdint>
#include <memory>
#include <string>

#include <tiffio.h>

#include "TiffSource.h"

namespace tovra {

class TTiffHandle {
public:
    // Opens the page whose directory is at directoryOffset (see PageDirectoryOffsets); the
    // source must outlive the handle. Throws DecodeError when libtiff cannot read it.
    TTiffHandle(const TTiffSource& source, const std::string& name, std::uint64_t directoryOffset);
    ~TTiffHandle();
    TTiffHandle(const TTiffHandle&) = delete;
    TTiffHandle& operator=(const TTiffHandle&) = delete;

    TIFF* Get() const { return tiff_.get(); }
    const TTiffSource& Source() const;

    // Forgets the messages reported so far.
    void ClearMessages() const;
    // Whether libtiff warned since the last ClearMessages.
    bool Warned() const;
    // Throws DecodeError "<what> (<libtiff's first error since ClearMessages>)".
    [[noreturn]] void Fail(const std::string& what) const;

    struct TState;

private:
    struct TCloser {
        void operator()(TIFF* tiff) const { TIFFClose(tiff); }
    };
    std::unique_ptr<TState> state_;
    std::unique_ptr<TIFF, TCloser> tiff_;  // closed before the state it reads through
};

// Reads a field of the current directory, with the default libtiff gives missing fields.
template <typename T>
T TiffField(TIFF* tiff, ttag_t tag, T fallback = T{}) {
    T value = fallback;
    if (!TIFFGetFieldDefaulted(tiff, tag, &value)) return fallback;
    return value;
}

}  // namespace tovra
