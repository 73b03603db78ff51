#pragma once
// TPicture: the container a component shows — it owns at most one graphic, a bitmap or
// a JPEG picture or an image record. Copying a picture copies its graphic.
#include <memory>

#include "Graphic.h"

namespace tovra {

class TBitmap;
class TJpegImage;
class TRecordImage;

class TPicture {
public:
    TPicture() = default;
    explicit TPicture(std::unique_ptr<TGraphic> graphic) : graphic_(std::move(graphic)) {}
    TPicture(const TPicture& other) { Assign(other); }
    TPicture& operator=(const TPicture& other) {
        Assign(other);
        return *this;
    }
    TPicture(TPicture&&) noexcept = default;
    TPicture& operator=(TPicture&&) noexcept = default;
    ~TPicture() = default;

    // The graphic held, or nullptr; the picture keeps ownership.
    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }
    std::unique_ptr<TGraphic> ReleaseGraphic() { return std::move(graphic_); }
    void Clear() { graphic_.reset(); }
    // Replaces the graphic with a copy of the other picture's.
    void Assign(const TPicture& other);

    bool IsBitmap() const { return graphic_ && graphic_->IsBitmap(); }
    bool IsJpeg() const { return graphic_ && graphic_->IsJpeg(); }
    bool IsRecord() const { return graphic_ && graphic_->IsRecord(); }
    // The graphic as its kind, or nullptr when it is of the other kind or absent.
    const TBitmap* Bitmap() const;
    const TJpegImage* Jpeg() const;
    const TRecordImage* Record() const;

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    bool Empty() const { return !graphic_ || graphic_->Empty(); }

private:
    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace tovra
