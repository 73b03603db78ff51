#include "MainWindowFixture.h"

#include <QListWidget>

#include "ImageListBox.h"
#include "cli/SampleImages.h"

namespace tovra::test {

std::string MainWindowTest::Picture(const std::string& name, int width, int height) const {
    const std::string path = (dir / name).string();
    const QImage image = samples::DrawSample(width, height, static_cast<int>(name.size()));
    const std::string ext = std::filesystem::path(name).extension().string();
    if (ext == ".gif" || ext == ".GIF") {
        samples::SaveGif(image, path);
    } else if (ext == ".bmp" || ext == ".BMP") {
        samples::SaveBmp(image, path);
    } else {
        samples::SaveJpeg(image, path, 92);
    }
    return path;
}

QStringList MainWindowTest::Rows() const {
    QStringList rows;
    for (int i = 0; i < window->lbFiles->count(); ++i) rows << window->lbFiles->item(i)->text();
    return rows;
}

}  // namespace tovra::test
