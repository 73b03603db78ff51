#pragma once
// Helpers of the WebP and HEIF reader tests: pictures with known pixels, comparing decoded
// pictures with them, and damaged copies of a good file.
#include <functional>
#include <string>

#include <QImage>

namespace tovra::test {

// Red rising to the right, green downwards and a diagonal blue band (so that a turned or
// mirrored result shows); with alpha, opacity falls to 0 at the right edge. Neutral: greys.
QImage GradientPicture(int width, int height, bool alpha, bool neutral = false);

// Mean difference per channel, premultiplied; -1 when the sizes differ.
double MeanDelta(const QImage& a, const QImage& b);

// Damaged copies of a good file (cut short, a broken header, empty, another kind's signature,
// 150 with random bits flipped) and a folder, each given to `load` under its own name. Each
// must load (only flipped bits may) or be refused with "Cannot read <kind> file "<path>": ...",
// and nothing may reach standard error. Returns the number refused.
int CheckDamagedCopies(const std::string& good, const std::string& kind, const std::string& extension,
                       const std::function<void(const std::string& path)>& load);

}  // namespace tovra::test
