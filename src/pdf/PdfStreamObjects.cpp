// Stream objects: a dictionary and its data, encoded on the way to the file as the stream's
// encoding says (ISO 32000, section 7.3.8), and image XObjects with the streams they refer to.
#include <cstdint>
#include <utility>

#include "common/Exceptions.h"
#include "pdf/PdfStreamData.h"
#include "pdf/PdfTypes.h"

namespace tovra {

// ---- TPdfStream -----------------------------------------------------------------------------

TPdfStream::TPdfStream(TPdfObjectMgr* objectMgr) : dict_(std::make_unique<TPdfDictionary>(objectMgr)) {
    dict_->Put("Length", std::make_unique<TPdfNumber>(0));
    dict_->Put("Filter", std::make_unique<TPdfArray>(objectMgr));
}

TPdfStream::~TPdfStream() = default;

void TPdfStream::SetEncodedData(std::unique_ptr<TPdfStreamData> data) { encoded_ = std::move(data); }

std::shared_ptr<const std::string> TPdfStream::TakeUnencodedBytes() {
    if (shared_) return std::exchange(shared_, nullptr);
    return std::make_shared<const std::string>(data_.TakeBytes());
}

void TPdfStream::SetEncoding(TStreamEncoding encoding, const TJpegEncodeSettings& jpeg) {
    encoding_ = encoding;
    jpeg_ = jpeg;
}

TStreamEncoding TPdfStream::EffectiveEncoding() const {
    if (encoding_ != TStreamEncoding::ByFilter) return encoding_;
    const TPdfArray* filter = dict_->ArrayByKey("Filter");
    return filter && filter->FindName("FlateDecode") ? TStreamEncoding::Flate : TStreamEncoding::AsIs;
}

void TPdfStream::WriteValue(TStream& stream) {
    TPdfNumber* length = dict_->NumberByKey("Length");
    const std::string_view raw = shared_ ? std::string_view(*shared_) : std::string_view(data_.Bytes());
    const bool encode = !encoded_ && EffectiveEncoding() != TStreamEncoding::AsIs;
    std::string encoded;
    if (encode) encoded = EncodeStreamBytes(EffectiveEncoding(), jpeg_, raw);
    const std::string_view bytes = encode ? std::string_view(encoded) : raw;
    const std::uint64_t size = encoded_ ? encoded_->Size() : bytes.size();
    if (size > static_cast<std::uint64_t>(INT32_MAX))
        throw EPdfInvalidValue("stream data of " + std::to_string(size) + " bytes is too long for a PDF stream");
    if (length) length->Value = static_cast<int32_t>(size);
    dict_->WriteRefOrValue(stream);
    WriteText(stream, "\r\nstream\r\n");
    if (encoded_) {
        encoded_->WriteTo(stream);
    } else {
        WriteText(stream, bytes);
    }
    WriteText(stream, "\nendstream");
}

// ---- TPdfImage ------------------------------------------------------------------------------

void TPdfImage::AddCompanion(std::unique_ptr<TPdfStream> stream, TPdfArray& appendTo) {
    companions_.push_back(TCompanion{std::move(stream), &appendTo, {}});
}

void TPdfImage::AddCompanion(std::unique_ptr<TPdfStream> stream, const std::string& key) {
    companions_.push_back(TCompanion{std::move(stream), nullptr, key});
}

}  // namespace tovra
