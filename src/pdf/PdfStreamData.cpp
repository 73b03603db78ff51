#include "pdf/PdfStreamData.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/Exceptions.h"
#include "imaging/ImageErrors.h"

namespace tovra {

namespace {
constexpr const char* kChanged = "the file has changed since it was loaded";
}

TFileSliceData::TFileSliceData(std::string kind, std::string path, TFileIdentity identity,
                               std::vector<TFileSlice> slices)
    : kind_(std::move(kind)), path_(std::move(path)), identity_(identity), slices_(std::move(slices)) {
    for (const TFileSlice& slice : slices_) size_ += slice.Length;
}

void TFileSliceData::Fail(const std::string& reason) const { throw Exception(ImageErrorMessage(kind_, path_, reason)); }

void TFileSliceData::WriteTo(TStream& out) {
    const TFileDescriptor file(OpenForReading(path_.c_str()));
    if (!file.Valid()) Fail(std::strerror(errno));
    const std::optional<TFileIdentity> now = IdentityOfOpenFile(file.Get());
    if (!now || !(*now == identity_)) Fail(kChanged);
    std::vector<char>* buffer = nullptr;
    for (const TFileSlice& slice : slices_) {
        const std::int64_t copied = out.CopyFromFile(file.Get(), slice.Offset, slice.Length);
        if (copied >= 0) {
            // A file cut short after the check is a changed file too.
            if (static_cast<std::uint64_t>(copied) != slice.Length) Fail(kChanged);
            continue;
        }
        if (!buffer) buffer = &CopyBuffer();
        for (std::uint64_t done = 0; done < slice.Length;) {
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(buffer->size(), slice.Length - done));
            if (!ReadFully(file.Get(), buffer->data(), count, slice.Offset + done)) Fail(kChanged);
            out.Write(buffer->data(), count);
            done += count;
        }
    }
}

}  // namespace tovra
