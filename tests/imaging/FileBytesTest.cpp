// Image files are read only when they are regular files: a pipe, a device or a folder named like
// a picture is refused at once with a message naming it, never waited on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "TestSupport.h"
#include "common/Exceptions.h"
#include "imaging/FileBytes.h"
#include "imaging/ImageLoaders.h"

namespace tovra {
namespace {

std::string FailureOf(const std::function<void()>& load) {
    try {
        load();
    } catch (const Exception& e) {
        return e.what();
    }
    return "no failure";
}

TEST(ImageFileBytes, SpecialFilesAreRefusedWithoutBlocking) {
    test::TempDir dir;
    const std::string fifo = (dir / "x.gif").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A blocking open would wait here for a writer that never comes.
    EXPECT_EQ(FailureOf([&] { LoadGifFile(fifo); }),
              "Cannot read GIF file \"" + fifo + "\": it is a pipe (FIFO), not a regular file");
    EXPECT_EQ(FailureOf([&] { LoadPictureFile(fifo); }),
              "Cannot read image file \"" + fifo + "\": it is a pipe (FIFO), not a regular file");

    EXPECT_EQ(FailureOf([] { LoadJpegFile("/dev/zero"); }),
              "Cannot read JPEG file \"/dev/zero\": it is a device, not a regular file");

    const std::string folder = (dir / "holiday.bmp").string();
    std::filesystem::create_directory(folder);
    EXPECT_EQ(FailureOf([&] { LoadBmpFile(folder); }),
              "Cannot read BMP file \"" + folder + "\": it is a folder, not a file");
}

TEST(ImageFileBytes, RegularFilesAreReadWhole) {
    test::TempDir dir;
    std::string bytes(100000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    test::WriteFileBytes(dir / "a.bin", bytes);
    const QByteArray read = ReadImageFileBytes((dir / "a.bin").string(), "BMP");
    EXPECT_EQ(std::string(read.constData(), static_cast<std::size_t>(read.size())), bytes);

    test::WriteFileBytes(dir / "empty.bin", "");
    EXPECT_EQ(ReadImageFileBytes((dir / "empty.bin").string(), "BMP").size(), 0);
    EXPECT_NE(FailureOf([&] { ReadImageFileBytes((dir / "gone.bmp").string(), "BMP"); })
                  .find("No such file or directory"),
              std::string::npos);
}

}  // namespace
}  // namespace tovra
