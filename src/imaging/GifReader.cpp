#include "GifReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

#include "GifScan.h"
#include "ImageErrors.h"

namespace tovra {

namespace {

struct MemorySource {
    std::span<const std::uint8_t> bytes;
    std::size_t pos = 0;
};

extern "C" int ReadFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(wanted, 0)),
                                                source->bytes.size() - source->pos);
    if (n) std::memcpy(out, source->bytes.data() + source->pos, n);
    source->pos += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::string GifError(int code) {
    const char* text = code ? GifErrorString(code) : nullptr;
    return text ? std::string("damaged GIF data (") + text + ")" : std::string("damaged GIF data");
}

// The first image only: an animation's later frames are cut off behind a trailer so
// giflib neither decodes nor stores them. The first frame's size is checked first.
std::vector<std::uint8_t> FirstImageOnly(std::span<const std::uint8_t> bytes) {
    const GifFirstImage first = ScanGifFirstImage(bytes);
    if (first.found) {
        if (first.width == 0 || first.height == 0) throw DecodeError("the first image has no pixels");
        CheckDecodedSize(first.width, first.height, 1);
    }
    std::vector<std::uint8_t> copy(bytes.begin(), first.complete ? bytes.begin() + first.end : bytes.end());
    if (first.complete) copy.push_back(0x3B);
    return copy;
}

GifHandle Slurp(std::span<const std::uint8_t> bytes, MemorySource& source) {
    source = MemorySource{bytes, 0};
    int error = 0;
    GifHandle gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif) {
        if (error == D_GIF_ERR_NOT_GIF_FILE) throw DecodeError("not a GIF file");
        throw DecodeError(GifError(error));
    }
    // The return value, not Error, says whether it failed: some failures leave Error 0.
    if (DGifSlurp(gif.get()) != GIF_OK) {
        if (gif->Error == D_GIF_ERR_NO_IMAG_DSCR) throw DecodeError("the file holds no image");
        throw DecodeError(GifError(gif->Error));
    }
    if (gif->ImageCount < 1) throw DecodeError("the file holds no image");
    return gif;
}

// Colour table of the result and the index that paints white.
struct RenderPalette {
    QList<QRgb> colors;
    int white = -1;
};

bool UsesIndex(const SavedImage& frame, int index) {
    const std::size_t count = static_cast<std::size_t>(frame.ImageDesc.Width) * frame.ImageDesc.Height;
    return std::find(frame.RasterBits, frame.RasterBits + count, static_cast<GifByteType>(index)) !=
           frame.RasterBits + count;
}

int ClosestToWhite(const QList<QRgb>& colors) {
    auto distance = [](QRgb c) {
        const int r = 255 - qRed(c), g = 255 - qGreen(c), b = 255 - qBlue(c);
        return r * r + g * g + b * b;
    };
    return static_cast<int>(std::min_element(colors.begin(), colors.end(),
                                             [&](QRgb a, QRgb b) { return distance(a) < distance(b); }) -
                            colors.begin());
}

RenderPalette MakePalette(const SavedImage& frame, const ColorMapObject& map,
                          int transparent, bool needWhite) {
    RenderPalette p;
    for (int i = 0; i < map.ColorCount && i < 256; ++i)
        p.colors.append(qRgb(map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue));
    if (transparent >= 0) {
        // Every pixel holding this index is transparent, so its entry can become white.
        while (p.colors.size() <= transparent) p.colors.append(qRgb(0, 0, 0));
        p.colors[transparent] = qRgb(255, 255, 255);
        p.white = transparent;
        return p;
    }
    if (!needWhite) return p;
    const auto found = std::find(p.colors.begin(), p.colors.end(), qRgb(255, 255, 255));
    if (found != p.colors.end()) {
        p.white = static_cast<int>(found - p.colors.begin());
    } else if (p.colors.size() < 256) {
        p.white = static_cast<int>(p.colors.size());
        p.colors.append(qRgb(255, 255, 255));
    } else {
        for (int i = 0; i < 256 && p.white < 0; ++i)
            if (!UsesIndex(frame, i)) {
                p.colors[i] = qRgb(255, 255, 255);
                p.white = i;
            }
        // Every entry of a full table is in use and none is white: the colour closest to
        // white stands in for it.
        if (p.white < 0) p.white = ClosestToWhite(p.colors);
    }
    return p;
}

// The frame's pixels as the picture, without copying them: the picture takes over giflib's
// buffer (malloc'd, rows without padding) and frees it. A null picture when Qt refuses it; the
// buffer then stays with giflib.
QImage AdoptRaster(SavedImage& frame) {
    QImage image(frame.RasterBits, frame.ImageDesc.Width, frame.ImageDesc.Height, frame.ImageDesc.Width,
                 QImage::Format_Indexed8, [](void* bits) { std::free(bits); }, frame.RasterBits);
    if (!image.isNull()) frame.RasterBits = nullptr;
    return image;
}

QImage Render(GifFileType& gif) {
    SavedImage& frame = gif.SavedImages[0];
    const GifImageDesc& desc = frame.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif.SColorMap;
    if (!map || map->ColorCount <= 0) throw DecodeError("the image has no colour table");
    if (desc.Width <= 0 || desc.Height <= 0 || !frame.RasterBits) throw DecodeError("the first image has no pixels");

    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(const_cast<GifFileType*>(&gif), 0, &control);
    const int transparent = control.TransparentColor;

    const std::size_t pixels = static_cast<std::size_t>(desc.Width) * desc.Height;
    // The highest index first, in one quick pass: only when it lies beyond the table is it worth
    // looking for the pixel that is wrong.
    GifByteType highest = 0;
    for (std::size_t i = 0; i < pixels; ++i) highest = std::max(highest, frame.RasterBits[i]);
    for (std::size_t i = 0; highest >= map->ColorCount && i < pixels; ++i) {
        const int index = frame.RasterBits[i];
        if (index >= map->ColorCount && index != transparent)
            throw DecodeError("a pixel uses colour " + std::to_string(index) + " but the colour table has only " +
                              std::to_string(map->ColorCount) + " entries");
    }

    CheckDecodedSize(gif.SWidth, gif.SHeight, 1);
    const bool covers = desc.Left <= 0 && desc.Top <= 0 && desc.Left + desc.Width >= gif.SWidth &&
                        desc.Top + desc.Height >= gif.SHeight;
    const RenderPalette palette = MakePalette(frame, *map, transparent, !covers);

    // A frame that is exactly the screen (the usual case) needs no copy onto it.
    if (desc.Left == 0 && desc.Top == 0 && desc.Width == gif.SWidth && desc.Height == gif.SHeight) {
        QImage whole = AdoptRaster(frame);
        if (!whole.isNull()) {
            whole.setColorTable(palette.colors);
            return whole;
        }
    }
    QImage image(gif.SWidth, gif.SHeight, QImage::Format_Indexed8);
    if (image.isNull()) throw DecodeError("not enough memory for the logical screen");
    image.setColorTable(palette.colors);
    // Screen left uncovered by the image shows white; a covered one is written once, below.
    if (!covers) image.fill(static_cast<uint>(std::max(palette.white, 0)));
    // The image is clipped to the screen; parts outside it are not shown.
    const int x0 = std::max(desc.Left, 0), x1 = std::min(desc.Left + desc.Width, gif.SWidth);
    const int y0 = std::max(desc.Top, 0), y1 = std::min(desc.Top + desc.Height, gif.SHeight);
    for (int y = y0; y < y1 && x0 < x1; ++y) {
        const GifByteType* src = frame.RasterBits + static_cast<std::size_t>(y - desc.Top) * desc.Width;
        std::memcpy(image.scanLine(y) + x0, src + (x0 - desc.Left), static_cast<std::size_t>(x1 - x0));
    }
    return image;
}

}  // namespace

QImage DecodeGif(std::span<const std::uint8_t> bytes, const std::string& name) {
    try {
        if (bytes.size() < 6 || std::memcmp(bytes.data(), "GIF", 3) != 0) throw DecodeError("not a GIF file");
        const std::vector<std::uint8_t> firstImage = FirstImageOnly(bytes);
        MemorySource source;
        const GifHandle gif = Slurp(firstImage, source);
        return Render(*gif);
    } catch (const DecodeError& e) {
        ThrowImageError("GIF", name, e.what());
    }
}

}  // namespace tovra
