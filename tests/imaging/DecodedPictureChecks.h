#pragma once
// Helpers of the WebP and HEIF reader tests: source pictures with known pixels, comparing
// decoded records with them, and the refusal of damaged copies of a good file.
#include <functional>
#include <string>

#include <QImage>

#include "ImageRecord.h"

namespace tovra::test {

// width x height with red rising to the right, green rising downwards and a diagonal blue band,
// so that a turned or mirrored result shows; alpha falls to the right, fully transparent at
// the right edge. Neutral: grey levels only.
QImage GradientPicture(int width, int height, bool alpha, bool neutral = false);

// The samples of a record (with its soft mask) as a picture.
QImage RecordPixels(const TImageRecord& record);

// Mean difference per channel after premultiplying; -1 when the sizes differ.
double MeanDelta(const QImage& a, const QImage& b);

// Whether the command can be run (looked up on PATH).
bool HaveProgram(const std::string& name);

// Damaged copies of a good file's bytes (cut short, broken at the start, randomly changed,
// empty, another kind's file) and a folder, each given to `load` under a name of its own:
// every one must load or be refused with the message "Cannot read <kind> file "<name>": ...",
// and nothing may reach standard error. Returns the number refused.
int CheckDamagedCopies(const std::string& good, const std::string& kind, const std::string& extension,
                       const std::function<void(const std::string& path)>& load);

}  // namespace tovra::test
