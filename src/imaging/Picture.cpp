#include "Picture.h"

#include "Bitmap.h"
#include "JpegImage.h"
#include "RecordImage.h"

namespace tovra {

void TPicture::Assign(const TPicture& other) {
    if (&other == this) return;
    graphic_ = other.graphic_ ? other.graphic_->Clone() : nullptr;
}

const TBitmap* TPicture::Bitmap() const {
    return IsBitmap() ? static_cast<const TBitmap*>(graphic_.get()) : nullptr;
}

const TJpegImage* TPicture::Jpeg() const {
    return IsJpeg() ? static_cast<const TJpegImage*>(graphic_.get()) : nullptr;
}

const TRecordImage* TPicture::Record() const {
    return IsRecord() ? static_cast<const TRecordImage*>(graphic_.get()) : nullptr;
}

}  // namespace tovra
