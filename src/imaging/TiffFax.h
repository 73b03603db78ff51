#pragma once
// CCITT fax data of a TIFF page carried into the PDF as it is (/CCITTFaxDecode) where every
// reader decodes it alike, else decoded.
#include <memory>
#include <optional>

#include "ImageRecord.h"
#include "TiffHandle.h"
#include "TiffPage.h"

namespace tovra {

// The record of a Fax-route page. The strip is decoded once: damaged data throws DecodeError.
// When the strip is the coding libtiff itself makes of the decoded rows, so that a strict decoder
// reads it exactly as libtiff does, the record is the strip as it is, with the decode parameters
// that say how it is coded: as a slice of the source file when there is one, else a copy of its
// bytes. Otherwise (libtiff warned, or the data bends the coding rules) it is the decoded rows as
// 1-bit samples.
std::shared_ptr<TImageRecord> FaxRecord(const TTiffHandle& handle, const TTiffPage& page,
                                        const std::optional<TRecordSource>& source);

}  // namespace tovra
