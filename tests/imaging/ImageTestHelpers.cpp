#include "ImageTestHelpers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include <QPainter>
#include <gif_lib.h>

#include "TestSupport.h"

namespace tovra::test {

namespace {

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

}  // namespace

Bytes MakeBmp(const BmpSpec& s) {
    Bytes info;
    if (s.headerSize == 12) {
        Put32(info, 12);
        Put16(info, static_cast<std::uint32_t>(s.width));
        Put16(info, static_cast<std::uint32_t>(s.height));
        Put16(info, 1);
        Put16(info, s.bitsPerPixel);
    } else {
        Put32(info, s.headerSize);
        Put32(info, static_cast<std::uint32_t>(s.width));
        Put32(info, static_cast<std::uint32_t>(s.height));
        Put16(info, 1);
        Put16(info, s.bitsPerPixel);
        Put32(info, s.compression);
        Put32(info, static_cast<std::uint32_t>(s.pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, s.colorsUsed);
        Put32(info, 0);
        std::size_t m = 0;
        for (; s.headerSize > 40 && m < s.masks.size() && info.size() < s.headerSize; ++m) Put32(info, s.masks[m]);
        info.resize(s.headerSize, 0);
        for (; m < s.masks.size(); ++m) Put32(info, s.masks[m]);
    }
    for (std::uint32_t c : s.palette) {
        info.push_back(static_cast<std::uint8_t>(c));
        info.push_back(static_cast<std::uint8_t>(c >> 8));
        info.push_back(static_cast<std::uint8_t>(c >> 16));
        if (s.headerSize != 12) info.push_back(0);
    }
    const std::size_t offset = 14 + info.size();
    const std::size_t total = offset + s.pixels.size();
    Bytes file{'B', 'M'};
    Put32(file, s.fileSizeField >= 0 ? static_cast<std::uint32_t>(s.fileSizeField) : static_cast<std::uint32_t>(total));
    Put32(file, 0);
    Put32(file, s.dataOffsetField >= 0 ? static_cast<std::uint32_t>(s.dataOffsetField) : static_cast<std::uint32_t>(offset));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

Bytes Rows24(int width, const std::vector<std::uint32_t>& pixels) {
    const int height = static_cast<int>(pixels.size()) / width;
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    Bytes out;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pixels[static_cast<std::size_t>(y * width + x)];
            out.push_back(static_cast<std::uint8_t>(c));
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            out.push_back(static_cast<std::uint8_t>(c >> 16));
        }
        out.resize(out.size() + static_cast<std::size_t>(rowBytes - width * 3), 0);
    }
    return out;
}

namespace {

extern "C" int AppendToBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct ColorMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, ColorMapDeleter>;

ColorMap MakeColorMap(const std::vector<std::uint32_t>& colors) {
    if (colors.empty()) return nullptr;
    int size = 2;
    while (size < static_cast<int>(colors.size())) size *= 2;
    std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colors.size(); ++i)
        entries[i] = GifColorType{static_cast<GifByteType>(colors[i] >> 16), static_cast<GifByteType>(colors[i] >> 8),
                                  static_cast<GifByteType>(colors[i])};
    return ColorMap(GifMakeMapObject(size, entries.data()));
}

void Check(int result, const char* what) {
    if (result != GIF_OK) throw std::runtime_error(std::string("giflib failed: ") + what);
}

}  // namespace

Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<std::uint32_t>& globalPalette,
              const std::vector<GifFrame>& frames) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendToBytes, &error);
    if (!gif) throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    const ColorMap global = MakeColorMap(globalPalette);
    Check(EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, global.get()), "screen");
    for (const GifFrame& f : frames) {
        if (f.transparentIndex >= 0) {
            GraphicsControlBlock gcb{};
            gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
            gcb.TransparentColor = f.transparentIndex;
            GifByteType ext[4];
            const size_t n = EGifGCBToExtension(&gcb, ext);
            Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext), "extension");
        }
        const ColorMap local = MakeColorMap(f.localPalette);
        Check(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local.get()), "image");
        std::vector<GifPixelType> pixels(f.pixels.begin(), f.pixels.end());
        if (f.interlaced) {
            // giflib writes lines in the order given; an interlaced image stores them in four passes.
            const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = starts[pass]; y < f.height; y += steps[pass])
                    Check(EGifPutLine(gif, pixels.data() + static_cast<std::size_t>(y * f.width), f.width), "line");
        } else {
            Check(EGifPutLine(gif, pixels.data(), f.width * f.height), "pixels");
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) throw std::runtime_error("EGifCloseFile failed");
    return out;
}

int CountDifferentPixels(const QImage& a, const QImage& b, int* maxDelta) {
    if (maxDelta) *maxDelta = 0;
    if (a.size() != b.size()) return -1;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int count = 0;
    for (int y = 0; y < pa.height(); ++y) {
        const QRgb* ra = reinterpret_cast<const QRgb*>(pa.constScanLine(y));
        const QRgb* rb = reinterpret_cast<const QRgb*>(pb.constScanLine(y));
        for (int x = 0; x < pa.width(); ++x) {
            if (ra[x] == rb[x]) continue;
            ++count;
            if (maxDelta)
                *maxDelta = std::max({*maxDelta, std::abs(qRed(ra[x]) - qRed(rb[x])),
                                      std::abs(qGreen(ra[x]) - qGreen(rb[x])), std::abs(qBlue(ra[x]) - qBlue(rb[x])),
                                      std::abs(qAlpha(ra[x]) - qAlpha(rb[x]))});
        }
    }
    return count;
}

QImage OnWhite(const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    painter.end();
    return out;
}

std::filesystem::path CorpusPath(const std::string& relative) {
    const std::filesystem::path root = CorpusDir();
    if (root.empty()) return {};
    return relative.empty() ? root : root / relative;
}

bool CjpegFlatPicture(int width, int height, bool grey, const std::string& options, const std::filesystem::path& out) {
    if (RunCommand("cjpeg -version").exitCode != 0) return false;
    const std::string command = "cjpeg " + options + " > " + ShellQuote(out.string());
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "w"), pclose);
    if (!pipe) return false;
    // Rows streamed as a PNM picture, so that large pictures never sit in memory whole.
    std::fprintf(pipe.get(), "%s %d %d 255\n", grey ? "P5" : "P6", width, height);
    std::string row;
    for (int x = 0; x < width; ++x) row += grey ? std::string(1, '\x90') : std::string("\x90\xB0\x50");
    for (int y = 0; y < height; ++y) std::fwrite(row.data(), 1, row.size(), pipe.get());
    return pclose(pipe.release()) == 0;
}

Bytes FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tovra::test
