#pragma once
// Takes image data out of memory as soon as the image joins the document. Data still to be
// encoded (bitmap pixels and image samples for Flate, or the compact encoding of PdfEncoding.h;
// decoded photos for JPEG) is encoded now, on a worker thread while the next picture is read,
// and the encoded bytes go to the spool file; other data goes there as it is. When the document
// is written each stream copies its bytes from there, in object order, so the file is the same
// byte for byte as if everything had stayed in memory.
#include <memory>
#include <string>

#include "pdf/PdfSpool.h"
#include "pdf/PdfWorkers.h"

namespace tovra {

class TPdfStream;

class TStreamSpooler {
public:
    // folder: where the spool file is tried first (the output's folder); threads: see
    // CompressionThreadCount; compactImages: image samples get the compact encoding.
    TStreamSpooler(const std::string& folder, int threads, bool compactImages = false);
    // Waits for running compressions; queued ones are dropped.
    ~TStreamSpooler() = default;
    TStreamSpooler(const TStreamSpooler&) = delete;
    TStreamSpooler& operator=(const TStreamSpooler&) = delete;

    // Moves the stream's data out of memory. A stream whose data is already elsewhere, or
    // that has none, is left alone.
    void Spool(TPdfStream& stream);

private:
    bool compactImages_;
    std::shared_ptr<TSpoolFile> spool_;
    TWorkerPool pool_;  // last: destroyed (joined) first, while the spool still exists
};

}  // namespace tovra
