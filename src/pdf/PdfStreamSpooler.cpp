#include "pdf/PdfStreamSpooler.h"

#include <future>

#include "pdf/PdfFlate.h"
#include "pdf/PdfStreamData.h"
#include "pdf/PdfTypes.h"

namespace tovra {

TStreamSpooler::TStreamSpooler(const std::string& folder, int threads)
    : spool_(std::make_shared<TSpoolFile>(SpoolFolders(folder))), pool_(threads > 1 ? threads : 0) {}

void TStreamSpooler::Spool(TPdfStream& stream) {
    if (stream.EncodedData() || stream.Data().Size() == 0) return;
    const TPdfArray* filter = stream.Dict().ArrayByKey("Filter");
    const bool flate = filter && filter->FindName("FlateDecode");
    // Shared because std::function wants a copyable job; only the job uses them.
    auto raw = std::make_shared<std::string>(stream.Data().TakeBytes());
    auto done = std::make_shared<std::promise<TSpoolSlice>>();
    stream.SetEncodedData(std::make_unique<TSpooledData>(spool_, done->get_future().share()));
    const std::uint64_t bytes = raw->size();
    pool_.Run([raw, done, flate, spool = spool_] {
        try {
            if (flate) *raw = FlateCompress(*raw);
            done->set_value(spool->Append(*raw));
        } catch (...) {
            done->set_exception(std::current_exception());
        }
        raw->clear();
        raw->shrink_to_fit();
    }, bytes);
}

}  // namespace tovra
