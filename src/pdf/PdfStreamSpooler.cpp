#include "pdf/PdfStreamSpooler.h"

#include <future>

#include "pdf/PdfEncoding.h"
#include "pdf/PdfStreamData.h"
#include "pdf/PdfTypes.h"

namespace tovra {

TStreamSpooler::TStreamSpooler(const std::string& folder, int threads, bool compactImages)
    : compactImages_(compactImages),
      spool_(std::make_shared<TSpoolFile>(SpoolFolders(folder))), pool_(threads > 1 ? threads : 0) {}

void TStreamSpooler::Spool(TPdfStream& stream) {
    if (stream.EncodedData() || stream.Data().Size() == 0) return;
    const TStreamEncoding encoding = ChooseEncoding(stream, compactImages_);
    DescribeEncoding(stream, encoding);
    // Shared because std::function wants a copyable job; only the job uses them.
    auto raw = std::make_shared<std::string>(stream.Data().TakeBytes());
    auto done = std::make_shared<std::promise<TSpoolSlice>>();
    stream.SetEncodedData(std::make_unique<TSpooledData>(spool_, done->get_future().share()));
    pool_.Run([raw, done, encoding, spool = spool_] {
        try {
            *raw = EncodeStreamData(encoding, std::move(*raw));
            done->set_value(spool->Append(*raw));
        } catch (...) {
            done->set_exception(std::current_exception());
        }
        raw->clear();
        raw->shrink_to_fit();
    });
}

}  // namespace tovra
