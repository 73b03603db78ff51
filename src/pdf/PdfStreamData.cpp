#include "pdf/PdfStreamData.h"

namespace tovra {

void TJpegFileData::WriteTo(TStream& out) {
    const TFileDescriptor file = OpenUnchangedJpegFile(source_);
    const auto size = static_cast<std::uint64_t>(source_.Identity.Size);
    const std::int64_t copied = out.CopyFromFile(file.Get(), 0, size);
    if (copied < 0) {
        CopyJpegFile(source_, CopyBuffer(), [&out](const char* data, std::size_t count) { out.Write(data, count); });
    } else if (static_cast<std::uint64_t>(copied) != size) {
        ThrowJpegFileChanged(source_);
    }
}

}  // namespace tovra
