#include "pdf/PdfStreamSpooler.h"

#include <future>

#include "pdf/PdfEncode.h"
#include "pdf/PdfEncoding.h"
#include "pdf/PdfStreamData.h"
#include "pdf/PdfTypes.h"

namespace tovra {

TStreamSpooler::TStreamSpooler(const std::string& folder, int threads, bool compactImages)
    : compactImages_(compactImages),
      spool_(std::make_shared<TSpoolFile>(SpoolFolders(folder))), pool_(threads > 1 ? threads : 0) {}

void TStreamSpooler::Spool(TPdfStream& stream) {
    if (stream.EncodedData() || !stream.HasUnencodedBytes()) return;
    // The stream's own encoding decides, never its /Filter entry alone: data already encoded
    // stays as it is, and only unencoded image samples may take the compact encoding.
    const TStreamEncoding encoding = stream.EffectiveEncoding();
    const TJpegEncodeSettings jpeg = stream.JpegSettings();
    const TDataEncoding compact = ChooseEncoding(stream, compactImages_);
    DescribeEncoding(stream, compact);
    // Shared with the job (and, for an image record's samples, with the picture until it goes).
    std::shared_ptr<const std::string> raw = stream.TakeUnencodedBytes();
    auto done = std::make_shared<std::promise<TSpoolSlice>>();
    stream.SetEncodedData(std::make_unique<TSpooledData>(spool_, done->get_future().share()));
    const std::uint64_t bytes = raw->size();  // held until the job is done (the pool's budget)
    pool_.Run([raw = std::move(raw), done, encoding, jpeg, compact, spool = spool_]() mutable {
        try {
            if (encoding == TStreamEncoding::AsIs) {
                done->set_value(spool->Append(*raw));
            } else if (compact.Deflate == TDeflater::Compact) {
                done->set_value(spool->Append(EncodeStreamData(compact, std::move(raw))));
            } else {
                done->set_value(spool->Append(EncodeStreamBytes(encoding, jpeg, *raw)));
            }
        } catch (...) {
            done->set_exception(std::current_exception());
        }
        raw.reset();  // the raw bytes leave memory as soon as they are stored
    }, bytes);
}

}  // namespace tovra
