// tovrapdf-samples: writes a few sample pictures of each kind into a folder and prints their
// paths, one a line, in the order they make a nice PDF.
#include <filesystem>
#include <iostream>

#include "cli/SampleImages.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: tovrapdf-samples FOLDER\n";
        return 2;
    }
    namespace fs = std::filesystem;
    using namespace tovra::samples;
    const fs::path folder = argv[1];
    try {
        fs::create_directories(folder);
        const auto save = [&folder](const std::string& name, auto&& write) {
            const std::string path = (folder / name).string();
            write(path);
            std::cout << path << '\n';
        };
        save("sunrise.jpg", [](const std::string& p) { SaveJpeg(DrawSample(1200, 800, 0), p); });
        save("tower.jpeg", [](const std::string& p) { SaveJpeg(DrawSample(600, 900, 1), p); });
        save("chart.bmp", [](const std::string& p) { SaveBmp(DrawSample(640, 480, 2), p); });
        save("poster.bmp", [](const std::string& p) { SaveBmp(DrawSample(300, 420, 3), p, true); });
        save("badge.gif", [](const std::string& p) { SaveGif(DrawSample(256, 256, 4), p); });
        save("banner.gif", [](const std::string& p) { SaveGif(DrawSample(700, 200, 5), p); });
    } catch (const std::exception& failure) {
        std::cerr << "tovrapdf-samples: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
