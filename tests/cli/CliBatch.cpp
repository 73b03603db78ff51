#include "CliBatch.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "PdfImageReadBack.h"

namespace tovra::test {

namespace fs = std::filesystem;

CommandResult Cli(const std::string& args) { return RunCommand(ShellQuote(TOVRAPDF_CLI) + " " + args); }

CommandResult CliBatch(const fs::path& pdf, const std::vector<std::string>& files, const std::string& options) {
    std::string args = options + " -s full -m 0 -o " + ShellQuote(pdf.string());
    for (const std::string& file : files) args += " " + ShellQuote(file);
    return Cli(args);
}

std::vector<std::string> CorpusFiles(const std::vector<std::string>& folders, const std::string& extension) {
    std::vector<std::string> files;
    for (const std::string& folder : folders)
        for (const auto& entry : fs::directory_iterator(CorpusDir() / folder))
            if (entry.path().extension() == extension) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string HeaderOf(const fs::path& pdf) { return ReadFileBytes(pdf).substr(0, 8); }

QImage PictureOnPage(const fs::path& page, const QSize& size) {
    const QImage rendering(QString::fromStdString(page.string()));
    EXPECT_EQ(rendering.size(), (size + QSize(2, 2)).boundedTo(QSize(kRenderLimit, kRenderLimit))) << page;
    return rendering.copy(1, 1, size.width(), size.height());
}

void ExpectRefused(const fs::path& dir, const std::string& path, const std::string& kind, const std::string& reason) {
    SCOPED_TRACE(path);
    const fs::path pdf = dir / "refused.pdf";
    const CommandResult run = CliBatch(pdf, {path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.starts_with("tovrapdf-cli: Cannot read " + kind + " file \"" + path + "\": ")) << run.output;
    EXPECT_NE(run.output.find(reason), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(pdf));
}

}  // namespace tovra::test
