#include "JpegImage.h"

#include <span>

#include <QBuffer>
#include <QImageReader>

#include "ImageErrors.h"
#include "ImageLimits.h"

namespace tovra {

TJpegImage::TJpegImage(QByteArray data, const TJpegInfo& info, std::string name)
    : data_(std::move(data)), info_(info), name_(std::move(name)) {}

TJpegImage::TJpegImage(TJpegFileSource source, const TJpegInfo& info)
    : source_(std::move(source)), info_(info), name_(source_->Path) {}

const QByteArray& TJpegImage::Data() const {
    if (source_ && data_.isNull()) data_ = ReadJpegFileBytes(*source_);
    return data_;
}

std::unique_ptr<TGraphic> TJpegImage::Clone() const {
    return std::make_unique<TJpegImage>(*this);
}

QImage TJpegImage::ToImage() const {
    if (preview_.isNull() && !Empty()) preview_ = Decode(kJpegPreviewMaxSide);
    return preview_;
}

QImage TJpegImage::Decode(int maxSide) const {
    if (Empty()) return QImage();
    QSize size(info_.width, info_.height);
    const bool scale = maxSide > 0 && (size.width() > maxSide || size.height() > maxSide);
    if (scale) {
        size.scale(maxSide, maxSide, Qt::KeepAspectRatio);
        size = size.expandedTo(QSize(1, 1));
    } else {
        try {
            CheckDecodedSize(size.width(), size.height(), 4);
        } catch (const DecodeError& e) {
            ThrowImageError("JPEG", name_, e.what());
        }
    }
    QBuffer buffer;
    buffer.setData(Data());
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(static_cast<int>(kMaxImageBytes / (1024 * 1024)));
    if (scale) reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull()) ThrowImageError("JPEG", name_, "cannot decode the picture: " + reader.errorString().toStdString());
    return image;
}

TJpegImage ReadJpeg(QByteArray data, const std::string& name) {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                              static_cast<std::size_t>(data.size()));
    const TJpegInfo info = ReadJpegHeader(bytes, name);
    return TJpegImage(std::move(data), info, name);
}

}  // namespace tovra
