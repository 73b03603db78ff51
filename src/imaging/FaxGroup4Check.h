#pragma once
// A fast proof that a Group 4 strip is libtiff's own coding of the rows it holds, read from the
// coding alone: no pixels are decoded and nothing is coded again.
#include <string_view>

namespace tovra {

// Whether `strip` (bits taken first highest) is exactly what libtiff's Group 4 coder writes for
// some page of width x height pixels (its end-of-block code kept or left out), followed only by
// zero bits. Reads the modes and runs row by row and checks at each step that the mode is the one
// the coder picks from the changing pixels of the row and of the row above, and that each run is
// written with the make-up codes the coder writes. A strip this accepts is decoded by every strict
// decoder as libtiff decodes it; false says nothing (the full check then decides).
bool IsLibtiffGroup4Coding(std::string_view strip, int width, int height);

}  // namespace tovra
