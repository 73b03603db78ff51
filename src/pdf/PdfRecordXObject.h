#pragma once
// Image XObjects made from image records (imaging/ImageRecord.h): the record already says how
// the image object holds the picture, so this only writes it down (ISO 32000, 8.9.5) and
// chooses how the bytes are encoded. No Qt and no file format here.
#include <memory>
#include <string>

#include "imaging/ImageRecord.h"
#include "pdf/PdfTypes.h"

namespace tovra {

// What a document asks of the image objects made for it.
struct TPdfImageOptions {
    // Decoded photos (PhotoSamples) as exact Flate pixels instead of one JPEG encode.
    bool LosslessDecoded = false;
};

// Photos are encoded as JPEG at this quality, with chroma at half resolution from this many
// pixels on (below it every pixel keeps its own colour).
inline constexpr int kPhotoJpegQuality = 92;
inline constexpr long long kPhotoSubsampledPixels = 2'000'000;

// An image XObject for the record, not yet in a document:
// - samples: /FlateDecode, encoded when the document spools it, sharing the record's bytes;
// - a PNG's zlib data, CCITT fax data, JPEG data: carried as they are with the record's
//   /DecodeParms, never encoded again; slices of the source file are copied from it when the
//   document is written, refused when the file has changed since it was loaded (messages name
//   it as a `kind` file);
// - photo samples (8-bit Gray or RGB): one JPEG encode at kPhotoJpegQuality, or Flate when the
//   options ask for exact pixels.
// The colour space, ICC profile, palette, /Decode, colour-key /Mask and soft mask (its own
// image object, a companion) are the record's. RequiredMinorVersion names the PDF version the
// features used need: 3 for ICC profiles and colour keys, 4 for soft masks, 5 for 16-bit samples.
// Throws EPdfInvalidValue when the record is not a usable image.
std::unique_ptr<TPdfImage> MakeRecordImage(const TImageRecord& record, const TPdfImageOptions& options,
                                           const std::string& kind = "image");

}  // namespace tovra
