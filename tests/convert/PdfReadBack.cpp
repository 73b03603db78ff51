#include "PdfReadBack.h"

#include <regex>
#include <sstream>

#include "TestSupport.h"

namespace tovra::test {

std::vector<TPageSize> PageSizes(const std::filesystem::path& pdf) {
    const CommandResult info = RunCommand("pdfinfo -f 1 -l 100000 " + ShellQuote(pdf.string()));
    std::vector<TPageSize> sizes;
    const std::regex line(R"(Page\s+\d+\s+size:\s+([0-9.]+) x ([0-9.]+) pts)");
    for (std::sregex_iterator it(info.output.begin(), info.output.end(), line), end; it != end; ++it)
        sizes.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
    return sizes;
}

std::vector<TListedImage> ListImages(const std::filesystem::path& pdf) {
    const CommandResult list = RunCommand("pdfimages -list " + ShellQuote(pdf.string()));
    std::vector<TListedImage> images;
    std::istringstream lines(list.output);
    std::string text;
    bool table = false;
    while (std::getline(lines, text)) {
        if (text.rfind("----", 0) == 0) {
            table = true;
            continue;
        }
        if (!table) continue;
        std::istringstream fields(text);
        TListedImage image;
        int number = 0, components = 0, bits = 0;
        std::string type;
        if (fields >> image.Page >> number >> type >> image.Width >> image.Height >> image.Color >> components >> bits >>
            image.Encoding)
            images.push_back(image);
    }
    return images;
}

std::string UncompressedPdf(const std::filesystem::path& pdf) {
    return RunCommand("qpdf --qdf --object-streams=disable " + ShellQuote(pdf.string()) + " -").output;
}

QImage RenderPage(const std::filesystem::path& pdf, int page) {
    const std::filesystem::path prefix = pdf.string() + "-page" + std::to_string(page);
    const std::string number = std::to_string(page);
    RunCommand("pdftoppm -r 72 -f " + number + " -l " + number + " -singlefile " + ShellQuote(pdf.string()) + " " +
               ShellQuote(prefix.string()));
    QImage image(QString::fromStdString(prefix.string() + ".ppm"));
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace tovra::test
