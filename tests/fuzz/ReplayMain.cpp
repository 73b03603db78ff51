// Replays a fuzz target over files: every regular file under the folders (or files)
// named on the command line is fed to LLVMFuzzerTestOneInput once. Lets the ordinary
// build run the fuzz targets over a corpus (under the sanitizers, too). Exits with 77,
// "skipped", when none of the given paths exists.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputFiles(int argc, char** argv, bool& anyFound) {
    std::vector<fs::path> files;
    anyFound = false;
    for (int i = 1; i < argc; ++i) {
        const fs::path root(argv[i]);
        if (fs::is_regular_file(root)) {
            anyFound = true;
            files.push_back(root);
        } else if (fs::is_directory(root)) {
            anyFound = true;
            for (const auto& entry : fs::recursive_directory_iterator(root))
                if (entry.is_regular_file()) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    bool anyFound = false;
    const std::vector<fs::path> files = InputFiles(argc, argv, anyFound);
    if (!anyFound) {
        std::printf("no input folder found; skipped\n");
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
