#include "pdf/PdfStreamSpooler.h"

#include <future>

#include "pdf/PdfEncode.h"
#include "pdf/PdfStreamData.h"
#include "pdf/PdfTypes.h"

namespace tovra {

TStreamSpooler::TStreamSpooler(const std::string& folder, int threads)
    : spool_(std::make_shared<TSpoolFile>(SpoolFolders(folder))), pool_(threads > 1 ? threads : 0) {}

void TStreamSpooler::Spool(TPdfStream& stream) {
    if (stream.EncodedData() || !stream.HasUnencodedBytes()) return;
    // The stream's own encoding decides, never its /Filter entry: data already encoded stays as it is.
    const TStreamEncoding encoding = stream.EffectiveEncoding();
    const TJpegEncodeSettings jpeg = stream.JpegSettings();
    // Shared with the job (and, for an image record's samples, with the picture until it goes).
    std::shared_ptr<const std::string> raw = stream.TakeUnencodedBytes();
    auto done = std::make_shared<std::promise<TSpoolSlice>>();
    stream.SetEncodedData(std::make_unique<TSpooledData>(spool_, done->get_future().share()));
    pool_.Run([raw = std::move(raw), done, encoding, jpeg, spool = spool_]() mutable {
        try {
            if (encoding == TStreamEncoding::AsIs) {
                done->set_value(spool->Append(*raw));
            } else {
                done->set_value(spool->Append(EncodeStreamBytes(encoding, jpeg, *raw)));
            }
        } catch (...) {
            done->set_exception(std::current_exception());
        }
        raw.reset();  // the raw bytes leave memory as soon as they are stored
    });
}

}  // namespace tovra
