#pragma once
// The standard paper forms offered when no printer tells us its own.
#include "PaperForms.h"

namespace tovra {

// Letter, Legal, Tabloid, Executive, Statement, A3, A4, A5, B4 (JIS), B5 (JIS), in that order,
// in tenths of a millimetre, each with the paper code printer drivers conventionally use for it.
const TPaperForms& StandardPaperForms();

}  // namespace tovra
