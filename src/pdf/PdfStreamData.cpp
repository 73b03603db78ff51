#include "pdf/PdfStreamData.h"

namespace tovra {

void TJpegFileData::WriteTo(TStream& out) {
    CopyJpegFile(source_, CopyBuffer(), [&out](const char* data, std::size_t count) { out.Write(data, count); });
}

}  // namespace tovra
