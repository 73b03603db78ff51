#pragma once
// Small pictures drawn in memory and saved as BMP, GIF and JPEG files: the demo's samples and
// the tests' fixtures, so that neither needs files from elsewhere.
#include <string>

#include <QImage>

namespace tovra::samples {

// A colourful picture of the given size: a gradient background with a few shapes; `variant`
// changes the colours and shapes.
QImage DrawSample(int width, int height, int variant);

// Each throws tovra::Exception naming the file when it cannot be written.
// 24-bit BMP, or an 8-bit palette BMP with `palette`.
void SaveBmp(const QImage& image, const std::string& path, bool palette = false);
void SaveJpeg(const QImage& image, const std::string& path, int quality = 85);
// A single-image GIF with a global colour table of at most 256 colours.
void SaveGif(const QImage& image, const std::string& path);

// A picture of one colour.
QImage Solid(int width, int height, QRgb colour);

}  // namespace tovra::samples
