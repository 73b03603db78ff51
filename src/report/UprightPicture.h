#pragma once
// Showing a picture stored turned or mirrored (EXIF orientation 2..8) upright, without touching
// its data: in the PDF through the drawing matrix, on screen through a turned copy of the pixels.
#include <QImage>

#include "pdf/PdfCanvas.h"

namespace tovra {

// The matrix that maps an image object's unit square onto box so that the picture, stored in
// the given orientation, appears upright and fills box exactly. For orientation 1 (and any
// value outside 2..8) it is the plain box matrix: width 0 0 height x y.
TPdfMatrix UprightMatrix(int orientation, const TPdfBox& box);

// The stored pixels turned or mirrored upright; orientation 1 returns the image itself.
QImage UprightImage(const QImage& stored, int orientation);

}  // namespace tovra
