// Replays a fuzz target over files: every regular file under the folders (or files)
// named on the command line is fed to LLVMFuzzerTestOneInput once. Lets the ordinary
// build run the fuzz targets over a corpus (under the sanitizers, too). TOVRA_CORPUS_DIR,
// when set, names the corpus in place of the command line, as for the other tests. Exits
// with 77, "skipped", when there is no file to replay.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputFiles(const std::vector<fs::path>& roots) {
    std::vector<fs::path> files;
    for (const fs::path& root : roots) {
        if (fs::is_regular_file(root)) {
            files.push_back(root);
        } else if (fs::is_directory(root)) {
            for (const auto& entry : fs::recursive_directory_iterator(root))
                if (entry.is_regular_file()) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> roots(argv + 1, argv + argc);
    if (const char* corpus = std::getenv("TOVRA_CORPUS_DIR"); corpus && *corpus) roots = {fs::path(corpus)};
    const std::vector<fs::path> files = InputFiles(roots);
    if (files.empty()) {
        std::printf("no input file found; skipped\n");
        return 77;
    }
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("replayed %zu files\n", files.size());
    return 0;
}
