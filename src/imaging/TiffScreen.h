#pragma once
// A TIFF page as screen pixels, as stored (no orientation), at most maxSide on its long side.
// The page is decoded band by band and each band is averaged down at once, so a large page
// never exists at full size in memory for a small preview.
#include <QImage>

#include "TiffHandle.h"

namespace tovra {

// maxSide <= 0: full size. Throws DecodeError.
QImage TiffScreenImage(const TTiffHandle& handle, int maxSide);

}  // namespace tovra
