// JPEG pictures that stay in their file: the header and the end marker are found without
// reading the data between, and a file that changes after loading is refused when read again.
#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ImageLoaders.h"
#include "ImageTestHelpers.h"
#include "JpegFile.h"
#include "JpegHeader.h"
#include "JpegImage.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "common/Exceptions.h"

namespace tovra::test {
namespace {

std::string PhotoBytes(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 3 & 0xFF, y * 5 & 0xFF, (x ^ y) & 0xFF));
    return EncodeJpeg(image, 95).toStdString();
}

// The bytes with comment segments of `bytes` bytes in all inserted right after SOI, so that the
// header grows past what the loader reads first.
std::string WithLongHeader(const std::string& jpeg, std::size_t bytes) {
    std::string comments;
    while (comments.size() < bytes) {
        const std::size_t length = 60000;
        comments += "\xFF\xFE";
        comments += static_cast<char>((length + 2) >> 8);
        comments += static_cast<char>((length + 2) & 0xFF);
        comments += std::string(length, 'c');
    }
    return jpeg.substr(0, 2) + comments + jpeg.substr(2);
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

TEST(JpegFile, LoadingFindsWhatTheWholeBytesSayAndReadsOrCopiesTheRestOnlyWhenAsked) {
    TempDir dir;
    const std::string plain = PhotoBytes(120, 80);
    const std::string padded = WithLongHeader(plain, 200000);  // header longer than the first read
    // Bytes after the end marker are tolerated, as before.
    const std::string trailing = plain + std::string(70000, '\0');
    for (const std::string& bytes : {plain, padded, trailing}) {
        const std::string path = (dir / "photo.jpg").string();
        WriteFileBytes(path, bytes);
        const auto jpeg = LoadJpegFile(path);
        const TJpegInfo whole =
            ReadJpegHeader({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, path);
        EXPECT_EQ(jpeg->Width(), whole.width);
        EXPECT_EQ(jpeg->Height(), whole.height);
        EXPECT_EQ(jpeg->Components(), whole.components);
        ASSERT_TRUE(jpeg->Source());
        EXPECT_EQ(jpeg->Source()->Identity.Size, static_cast<std::int64_t>(bytes.size()));
        EXPECT_EQ(jpeg->Data().toStdString(), bytes);
        // Copied out through a small buffer: the bytes in order, a buffer's worth at a time.
        std::vector<char> buffer(4096);
        std::string copied;
        std::size_t pieces = 0;
        CopyJpegFile(*jpeg->Source(), buffer, [&](const char* data, std::size_t count) {
            copied.append(data, count);
            ++pieces;
        });
        EXPECT_EQ(copied, bytes);
        EXPECT_EQ(pieces, (bytes.size() + buffer.size() - 1) / buffer.size());
    }
}

TEST(JpegFile, EndMarkerIsLookedForFromTheEndAcrossChunkBoundaries) {
    TempDir dir;
    const std::string path = (dir / "photo.jpg").string();
    const std::string plain = PhotoBytes(64, 48);
    ASSERT_EQ(plain.substr(plain.size() - 2), "\xFF\xD9");
    const std::string body = plain.substr(0, plain.size() - 2);

    // The marker's two bytes fall on either side of the 64 KiB tail chunk the loader reads first.
    const std::string split = body + "\xFF\xD9" + std::string(65535, 'x');
    WriteFileBytes(path, split);
    EXPECT_NO_THROW(LoadJpegFile(path));

    // No marker after the scan header: truncated, from the file and from memory alike.
    const std::string truncated = body + std::string(200000, 'x');
    WriteFileBytes(path, truncated);
    const std::string expected = "Cannot read JPEG file \"" + path + "\": the file is truncated (no end-of-image marker)";
    EXPECT_EQ(MessageOf([&] { LoadJpegFile(path); }), expected);
    EXPECT_EQ(MessageOf([&] { ReadJpeg(QByteArray::fromStdString(truncated), path); }), expected);

    // FF D9 inside the header (before the first scan) does not count.
    EXPECT_FALSE(HasJpegEndMarkerFrom({reinterpret_cast<const std::uint8_t*>("\xFF\xD9zz"), 4}, 1));
    EXPECT_TRUE(HasJpegEndMarkerFrom({reinterpret_cast<const std::uint8_t*>("z\xFF\xD9z"), 4}, 1));

    WriteFileBytes(path, "");
    EXPECT_EQ(MessageOf([&] { LoadJpegFile(path); }), "Cannot read JPEG file \"" + path + "\": the file is empty");
}

TEST(JpegFile, AFileChangedAfterLoadingIsRefusedWhenReadAgain) {
    TempDir dir;
    const std::string path = (dir / "photo.jpg").string();
    const std::string changed = "Cannot read JPEG file \"" + path + "\": the file has changed since it was loaded";
    WriteFileBytes(path, PhotoBytes(64, 48));

    // Same size, new contents and time.
    auto jpeg = LoadJpegFile(path);
    std::string other = PhotoBytes(64, 48);
    other[other.size() / 2] ^= 1;
    WriteFileBytes(path, other);
    struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(MessageOf([&] { (void)jpeg->Data(); }), changed);

    // Replaced by another file (another inode), and removed.
    jpeg = LoadJpegFile(path);
    const std::string replacement = (dir / "new.jpg").string();
    WriteFileBytes(replacement, other);
    ASSERT_EQ(rename(replacement.c_str(), path.c_str()), 0);
    EXPECT_EQ(MessageOf([&] { (void)jpeg->Data(); }), changed);
    const TJpegFileSource source = *LoadJpegFile(path)->Source();
    ASSERT_EQ(unlink(path.c_str()), 0);
    EXPECT_EQ(MessageOf([&] { ReadJpegFileBytes(source); }),
              "Cannot read JPEG file \"" + path + "\": No such file or directory");
}

// A few hundred bytes whose header claims gigapixels: at least one bit is coded per 8 x 8 block
// of a component, so the file cannot be that picture, and a reader would spend minutes and
// gigabytes finding out.
TEST(JpegFile, AHeaderClaimingMoreBlocksThanTheFileHasBitsIsRefused) {
    TempDir dir;
    std::string bytes = PhotoBytes(16, 16);  // 4:2:0: the colour components have a quarter of the blocks
    const std::size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    bytes.replace(frame + 5, 4, "\xEA\x60\xEA\x60");  // 60000 x 60000
    const std::string path = (dir / "liar.jpg").string();
    WriteFileBytes(path, bytes);
    const std::string expected = "Cannot read JPEG file \"" + path +
                                 "\": the file is damaged: its header gives 60000 x 60000 pixels, which take at least "
                                 "14062500 bits of coded data (one per 8 x 8 block of its smallest colour component), "
                                 "but the whole file holds only " + std::to_string(bytes.size() * 8) + " bits";
    EXPECT_EQ(MessageOf([&] { LoadJpegFile(path); }), expected);
    EXPECT_EQ(MessageOf([&] { ReadJpeg(QByteArray::fromStdString(bytes), path); }), expected);
}

// Flat pictures spend the fewest bits per block; large ones of any shape still pass.
TEST(JpegFile, LargeFlatPicturesOfAnyShapePass) {
    TempDir dir;
    const struct {
        const char* name;
        int width, height;
        bool grey;
        const char* options;
    } cases[] = {
        {"sequential.jpg", 8000, 6000, false, ""},
        {"progressive.jpg", 6000, 4000, false, "-progressive"},
        {"panorama.jpg", 30000, 504, true, "-progressive"},
        {"tower.jpg", 480, 20000, false, "-sample 2x2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!CjpegFlatPicture(c.width, c.height, c.grey, c.options, dir / c.name)) GTEST_SKIP() << "cjpeg missing";
        const auto jpeg = LoadJpegFile((dir / c.name).string());
        EXPECT_EQ(jpeg->Width(), c.width);
        EXPECT_EQ(jpeg->Height(), c.height);
    }
}

}  // namespace
}  // namespace tovra::test
