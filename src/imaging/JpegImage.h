#pragma once
// TJpegImage: a JPEG picture kept as the file's bytes, unchanged, with the facts read
// from its header. Pixels are decoded only to be shown on screen.
#include <optional>
#include <string>

#include <QByteArray>
#include <QImage>

#include "Graphic.h"
#include "JpegFile.h"
#include "JpegHeader.h"

namespace tovra {

class TJpegImage : public TGraphic {
public:
    TJpegImage() = default;
    // data: the whole JPEG file; info: what ReadJpegHeader found in it; name: the file
    // name used in messages.
    TJpegImage(QByteArray data, const TJpegInfo& info, std::string name);
    // A picture that stays in its file: its bytes are read when first needed, and only
    // while the file is unchanged since it was loaded.
    TJpegImage(TJpegFileSource source, const TJpegInfo& info);

    TGraphicKind Kind() const override { return TGraphicKind::Jpeg; }
    int Width() const override { return info_.width; }
    int Height() const override { return info_.height; }
    std::unique_ptr<TGraphic> Clone() const override;
    // The picture decoded for the screen, at most kJpegPreviewMaxSide on its long side;
    // decoded once and kept.
    QImage ToImage() const override;

    // The compressed data exactly as read from the file (read now when the picture stays in
    // its file; throws tovra::Exception naming the file when it has changed since).
    const QByteArray& Data() const;
    // The file the picture stays in, or nothing when its bytes were given in memory.
    const std::optional<TJpegFileSource>& Source() const { return source_; }
    int Components() const { return info_.components; }
    bool HasAdobeMarker() const { return info_.adobeMarker; }
    int Orientation() const override { return info_.orientation; }
    const TJpegInfo& Info() const { return info_; }
    const std::string& FileName() const { return name_; }

    // Decodes the pixels, scaled down (proportions kept) so that neither side exceeds
    // maxSide; maxSide <= 0 decodes at full size within the decoding limits. The pixels are
    // as stored: EXIF orientation (Info().orientation) is applied by whoever shows them.
    // Throws tovra::Exception naming the file when decoding fails.
    QImage Decode(int maxSide) const;

private:
    mutable QByteArray data_;
    std::optional<TJpegFileSource> source_;
    TJpegInfo info_;
    std::string name_;
    mutable QImage preview_;
};

// Reads a JPEG picture from a file's bytes (see ReadJpegHeader for what is refused).
TJpegImage ReadJpeg(QByteArray data, const std::string& name);

}  // namespace tovra
