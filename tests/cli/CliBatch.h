#pragma once
// tovrapdf-cli run over a batch of pictures for the tests that read the PDF back: one page per
// picture at its own size, what a refused picture leaves, and where a page shows its picture.
#include <filesystem>
#include <string>
#include <vector>

#include <QImage>

#include "TestSupport.h"

namespace tovra::test {

// The tool with the arguments (quoted where needed); stdout and stderr together.
CommandResult Cli(const std::string& args);

// Full Size without margins into `pdf`: each page is its picture's size plus one point on each
// side, so at 72 dpi each sample is one pixel of the rendering. `options` go first.
CommandResult CliBatch(const std::filesystem::path& pdf, const std::vector<std::string>& files,
                       const std::string& options = "");

// The files with the extension in the corpus folders, sorted.
std::vector<std::string> CorpusFiles(const std::vector<std::string>& folders, const std::string& extension);

// "%PDF-1.x".
std::string HeaderOf(const std::filesystem::path& pdf);

// The rendering of a page holding a picture of `size` (as turned on the page), which must be
// the page's size (up to kRenderLimit), cut down to the picture.
QImage PictureOnPage(const std::filesystem::path& page, const QSize& size);

// Expects the tool to refuse the picture: exit status 1, "Cannot read <kind> file "<path>": "
// and `reason`, and no PDF.
void ExpectRefused(const std::filesystem::path& dir, const std::string& path, const std::string& kind,
                   const std::string& reason);

}  // namespace tovra::test
