#pragma once
// TRecordImage: a picture held as an image record (ImageRecord.h) — the kinds beyond BMP, GIF
// and JPEG (PNG, TIFF, WebP, HEIF). The record goes to the PDF writer as it is; the screen
// gets pixels from the reader's own decoder, or from the record's samples.
#include <functional>
#include <memory>
#include <string>

#include <QImage>

#include "Graphic.h"
#include "ImageRecord.h"

namespace tovra {

// Pixels for the screen, scaled down (proportions kept) so that neither side exceeds maxSide
// (maxSide <= 0: full size); as stored, orientation not applied. Throws tovra::Exception
// naming the file when the picture cannot be decoded.
using TScreenDecoder = std::function<QImage(int maxSide)>;

class TRecordImage : public TGraphic {
public:
    // name: the file name used in messages. Without a decoder the screen pixels are made
    // from the record's samples (Encoding Samples only).
    TRecordImage(std::shared_ptr<const TImageRecord> record, std::string name, TScreenDecoder decoder = {});

    TGraphicKind Kind() const override { return TGraphicKind::Record; }
    int Width() const override { return record_->Width; }
    int Height() const override { return record_->Height; }
    int Orientation() const override { return record_->Orientation; }
    // Shares the record (it never changes) and the decoder.
    std::unique_ptr<TGraphic> Clone() const override;
    QImage ToImage() const override { return ScreenImage(0); }
    // The screen pixels at most maxSide on their long side; the last result is kept.
    QImage ScreenImage(int maxSide) const;

    const TImageRecord& Record() const { return *record_; }
    const std::shared_ptr<const TImageRecord>& SharedRecord() const { return record_; }
    const std::string& FileName() const { return name_; }

private:
    std::shared_ptr<const TImageRecord> record_;
    std::string name_;
    TScreenDecoder decoder_;
    mutable QImage screen_;
    mutable int screenSide_ = -1;
};

// The record's samples (Encoding Samples) as screen pixels: alpha from the soft mask or the
// colour key kept as alpha, CMYK shown by the naive conversion, 16-bit samples cut to 8.
// Scaled down as for TScreenDecoder. An empty image when the record holds no samples.
QImage SamplesToImage(const TImageRecord& record, int maxSide);

}  // namespace tovra
