#include "ImageFormats.h"

#include <utility>

#include "HeifReader.h"
#include "ImageLoaders.h"
#include "PngReader.h"
#include "TiffReader.h"
#include "WebpReader.h"

namespace tovra {

namespace {

std::unique_ptr<TGraphic> LoadBmp(const std::string& path, int) { return LoadBmpFile(path); }
std::unique_ptr<TGraphic> LoadGif(const std::string& path, int) { return LoadGifFile(path); }
std::unique_ptr<TGraphic> LoadJpeg(const std::string& path, int) { return LoadJpegFile(path); }
std::unique_ptr<TGraphic> LoadPng(const std::string& path, int) { return LoadPngFile(path); }
std::unique_ptr<TGraphic> LoadTiff(const std::string& path, int page) { return LoadTiffFile(path, page); }
std::unique_ptr<TGraphic> LoadWebp(const std::string& path, int) { return LoadWebpFile(path); }
std::unique_ptr<TGraphic> LoadHeif(const std::string& path, int) { return LoadHeifFile(path); }

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::vector<TImageFormat>& MutableFormats() {
    static std::vector<TImageFormat> formats = {
        {ikBMP, "BMP", {".BMP"}, "Bitmap Image Files (*.bmp)", {"image/bmp"},
         "lossless Flate pixels (palette pictures stay palette pictures)", LoadBmp, nullptr},
        {ikGIF, "GIF", {".GIF"}, "GIF Image files (*.gif)", {"image/gif"},
         "the first frame as lossless Flate palette pixels", LoadGif, nullptr},
        {ikJPEG, "JPEG", {".JPG", ".JPEG"}, "JPEG Image Files (*.jpg;*.jpeg)", {"image/jpeg"},
         "the file's own JPEG data, byte for byte", LoadJpeg, nullptr},
        {ikPNG, "PNG", {".PNG"}, "PNG Image Files (*.png)", {"image/png"},
         "the file's own compressed data where PDF can carry it, else lossless Flate pixels; transparency kept",
         LoadPng, nullptr},
        {ikTIFF, "TIFF", {".TIF", ".TIFF"}, "TIFF Image Files (*.tif;*.tiff)", {"image/tiff"},
         "every page; CCITT fax data as it is, other pictures as lossless Flate pixels", LoadTiff, CountTiffPages},
        {ikWebP, "WebP", {".WEBP"}, "WebP Image Files (*.webp)", {"image/webp"},
         "decoded (the first frame of an animation) as lossless Flate pixels; transparency kept", LoadWebp, nullptr},
        {ikHEIF, "HEIF", {".HEIC", ".HEIF", ".AVIF"}, "HEIF Image Files (*.heic;*.heif;*.avif)",
         {"image/heic", "image/heif", "image/avif"},
         "the primary picture, upright, re-encoded once as JPEG at quality 92 (exact Flate pixels on request)",
         LoadHeif, nullptr},
    };
    return formats;
}

}  // namespace

const std::vector<TImageFormat>& ImageFormats() { return MutableFormats(); }

const TImageFormat* FormatOfKind(TImageKind kind) {
    for (const TImageFormat& format : ImageFormats())
        if (format.Kind == kind) return &format;
    return nullptr;
}

TImageKind ImageKindOf(std::string_view extension) {
    const std::string upper = AsciiUpper(extension);
    for (const TImageFormat& format : ImageFormats())
        for (std::string_view candidate : format.Extensions)
            if (upper == candidate) return format.Kind;
    return ikNone;
}

int CountImagePages(TImageKind kind, const std::string& path) {
    const TImageFormat* format = FormatOfKind(kind);
    if (!format || !format->CountPages) return 1;
    return format->CountPages(path);
}

TImageFormatOverride::TImageFormatOverride(TImageKind kind, TImageLoader load, TPageCounter countPages)
    : format_(nullptr), load_(nullptr), countPages_(nullptr) {
    for (TImageFormat& format : MutableFormats())
        if (format.Kind == kind) format_ = &format;
    if (!format_) return;
    load_ = std::exchange(format_->Load, load);
    countPages_ = std::exchange(format_->CountPages, countPages);
}

TImageFormatOverride::~TImageFormatOverride() {
    if (!format_) return;
    format_->Load = load_;
    format_->CountPages = countPages_;
}

}  // namespace tovra
