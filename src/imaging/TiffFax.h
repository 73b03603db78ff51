#pragma once
// CCITT fax data of a TIFF page carried into the PDF as it is (/CCITTFaxDecode) where every
// reader decodes it alike, else decoded.
#include <memory>
#include <optional>
#include <string_view>

#include "ImageRecord.h"
#include "TiffHandle.h"
#include "TiffPage.h"

namespace tovra {

// The record of a Fax-route page: its one strip as it is, with the decode parameters that say how
// it is coded, when the strip is the coding libtiff itself makes of the rows it decodes from it,
// so that a strict decoder reads it exactly as libtiff does; with a source as a slice of that
// file, else a copy of its bytes. Damaged data throws DecodeError; data libtiff decodes only with
// complaints or by bending the coding rules gives nullptr, for the page to be decoded as samples.
// Whether the page's one strip is the coding libtiff makes of the rows it decodes from it, without
// warnings: the rows decoded and coded again. Damaged data throws DecodeError.
bool DecodesAsLibtiffCodes(const TTiffHandle& handle, const TTiffPage& page, std::string_view strip);

std::shared_ptr<TImageRecord> FaxRecord(const TTiffHandle& handle, const TTiffPage& page,
                                        const std::optional<TRecordSource>& source);

}  // namespace tovra
