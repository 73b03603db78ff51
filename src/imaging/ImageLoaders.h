#pragma once
// Loading image files into graphics. Every failure is a tovra::Exception whose message
// names the file: "Cannot read BMP file "/path/x.bmp": the file is truncated (...)".
#include <memory>
#include <string>

#include "Bitmap.h"
#include "JpegImage.h"
#include "Picture.h"

namespace tovra {

std::unique_ptr<TBitmap> LoadBmpFile(const std::string& path);
// The first image of the GIF rendered onto its logical screen (see DecodeGif).
std::unique_ptr<TBitmap> LoadGifFile(const std::string& path);
// The facts of the file's header (see ReadJpegHeader); the picture stays in the file and
// reads its bytes when they are needed (JpegFile.h).
std::unique_ptr<TJpegImage> LoadJpegFile(const std::string& path);

// Loads a BMP, GIF or JPEG file into a picture, recognising the kind by the file's
// first bytes rather than its name.
TPicture LoadPictureFile(const std::string& path);

}  // namespace tovra
