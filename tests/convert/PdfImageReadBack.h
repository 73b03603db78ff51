#pragma once
// The image objects of a written PDF read back through qpdf's JSON dump: the dictionary's
// entries, the stream's bytes as stored and as qpdf decodes them, and the picture as a viewer
// composes it from them (palette, /Decode, colour key and soft mask applied).
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

namespace tovra::test {

struct TPdfPicture {
    int Page = 0;  // 1-based
    int Width = 0;
    int Height = 0;
    int Bits = 0;
    std::string Space;         // DeviceGray, DeviceRGB, DeviceCMYK, Indexed or ICCBased
    int Components = 0;        // colour components of one sample (Indexed: 1, ICCBased: /N)
    std::string IccAlternate;  // ICCBased, itself or as the palette's base: the profile's /Alternate
    int IccComponents = 0;     // and its /N
    std::string IccProfile;    // and the profile itself
    std::string Palette;       // Indexed: the lookup table, red, green, blue bytes per entry
    std::vector<int> Decode;
    std::vector<int> ColorKey;  // /Mask as min, max pairs
    std::vector<std::string> Filters;   // FlateDecode, CCITTFaxDecode, DCTDecode
    std::map<std::string, int> Parms;   // the first /DecodeParms dictionary, booleans as 0 or 1
    std::string Raw;                    // the stream's bytes as stored
    std::string Samples;                // as qpdf decodes them; empty when it cannot (CCITT)
    std::shared_ptr<const TPdfPicture> SoftMask;
};

// The images the pages draw, in page order (qpdf --json, once as stored, once decoded).
std::vector<TPdfPicture> PdfPictures(const std::filesystem::path& pdf);

// One sample of component `component` at (x, y), as stored (16 bits: the whole value).
int SampleAt(const TPdfPicture& picture, int x, int y, int component);

// The picture as 8-bit RGBA a viewer composes: samples through /Decode and the palette, 16-bit
// samples by their high byte, CMYK by the naive formula, the alpha from the soft mask or the
// colour key (else opaque). A null image when qpdf could not decode the samples.
QImage ComposedPicture(const TPdfPicture& picture);

// The image on page `page` as poppler decodes it (pdfimages, PBM/PGM/PPM), in `dir`.
QImage PopplerPicture(const std::filesystem::path& pdf, int page, const std::filesystem::path& dir);

// Renderings are at most this many pixels wide and high: a larger page is cut to its top left.
inline constexpr int kRenderLimit = 1024;

struct TRendering {
    std::vector<std::filesystem::path> Pages;  // in page order
    std::string Messages;                      // what the renderer said
};

// Pages `first` to `last` (1-based; 0: the last page) rendered at 72 dpi by one run of
// pdftoppm, or of pdftocairo when `cairo`, into `dir`. (pdftoppm stretches an image drawn at
// one pixel per sample over one more pixel than it covers and clips it, so only cairo's
// rendering shows the samples themselves.)
TRendering RenderPages(const std::filesystem::path& pdf, const std::filesystem::path& dir, bool cairo = false,
                       int first = 1, int last = 0);

// Pixels of `a` that differ from `b` by more than `tolerance` in a channel (alpha compared
// only when `alpha`); -1 when the sizes differ.
int PixelsApart(const QImage& a, const QImage& b, int tolerance, bool alpha);

// The mean difference of the colour channels of two pictures of one size; 255 when the sizes
// differ.
double MeanDifference(const QImage& a, const QImage& b);

// The picture laid on white, as 8-bit RGB.
QImage LaidOnWhite(const QImage& picture);

}  // namespace tovra::test
