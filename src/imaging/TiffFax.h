#pragma once
// CCITT fax data of a TIFF page carried into the PDF as it is (/CCITTFaxDecode).
#include <memory>
#include <optional>

#include "ImageRecord.h"
#include "TiffHandle.h"
#include "TiffPage.h"

namespace tovra {

// The record of a Fax-route page: its one strip as it is, with the decode parameters that say
// how it is coded. The strip is decoded once first: damaged data throws DecodeError; data libtiff
// decodes only with complaints gives nullptr, for the page to be decoded as samples instead.
// With a source the record holds the strip as a slice of that file, else a copy of its bytes.
std::shared_ptr<TImageRecord> FaxRecord(const TTiffHandle& handle, const TTiffPage& page,
                                        const std::optional<TRecordSource>& source);

}  // namespace tovra
