// Image kinds from file names, and the name proposed for the PDF.
#include <gtest/gtest.h>

#include "convert/ImageKinds.h"
#include "convert/OutputName.h"

namespace tovra {
namespace {

TEST(ImageKinds, ExtensionsAnyCase) {
    EXPECT_EQ(ImageKindOfFile("/p/a.bmp"), ikBMP);
    EXPECT_EQ(ImageKindOfFile("/p/a.GIF"), ikGIF);
    EXPECT_EQ(ImageKindOfFile("/p/photo.Jpeg"), ikJPEG);
    EXPECT_EQ(ImageKindOfFile("/p/x.jPg"), ikJPEG);
    EXPECT_EQ(ImageKindOfFile("/p/scan.png"), ikPNG);
    EXPECT_EQ(ImageKindOfFile("/p/scan.TIF"), ikTIFF);
    EXPECT_EQ(ImageKindOfFile("/p/scan.tiff"), ikTIFF);
    EXPECT_EQ(ImageKindOfFile("/p/a.WebP"), ikWebP);
    EXPECT_EQ(ImageKindOfFile("/p/a.heic"), ikHEIF);
    EXPECT_EQ(ImageKindOfFile("/p/a.HEIF"), ikHEIF);
    EXPECT_EQ(ImageKindOfFile("/p/a.avif"), ikHEIF);
    EXPECT_EQ(ImageKindOfFile("/p/scan.pdf"), ikNone);
    EXPECT_EQ(ImageKindOfFile("/p/noextension"), ikNone);
    EXPECT_EQ(ImageKindOfFile("/p/archive.jpg.gz"), ikNone);
    // Only the file-name part counts: a dot in a folder name is no extension.
    EXPECT_EQ(ImageKindOfFile("/p/dir.jpg/file"), ikNone);
    EXPECT_EQ(ImageKindOf(""), ikNone);
}

TEST(ProposedPdfName, ReplacesOrAppendsTheExtension) {
    EXPECT_EQ(ProposedPdfName("/pics/holiday.jpg"), "holiday.pdf");
    EXPECT_EQ(ProposedPdfName("/pics/a.b.GIF"), "a.b.pdf");
    EXPECT_EQ(ProposedPdfName("/pics.old/scan"), "scan.pdf");
    EXPECT_EQ(ProposedPdfName(""), ".pdf");
}

}  // namespace
}  // namespace tovra
