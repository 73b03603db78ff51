#pragma once
// An image entry: one image file with the page it goes on (paper, orientation, page size,
// margins) and how its picture is sized there. List rows own their entries; the creation run
// works on copies. An entry links to the components it is laid out on without owning them.
#include <cstdint>
#include <string>

#include "convert/ImageKinds.h"

namespace tovra {

class TPRImage;
class TPRJpegImage;
class TPRLayoutPanel;
class TPRPage;

enum TSizeMethod : std::uint8_t {
    smStretch = 0,   // the picture fills the content area, proportions not kept
    smFit = 1,       // natural size when it fits, else scaled down keeping its proportions
    smFullSize = 2,  // the page is made as large as the picture plus the margins
};

// A new entry has every field zero, empty or none.
struct TPDFImage {
    std::string FileName;
    TImageKind ImageKind = ikBMP;
    TSizeMethod SizeMethod = smStretch;
    std::string PaperName;
    std::int32_t PageWidth = 0;   // points
    std::int32_t PageHeight = 0;  // points
    bool PaperPortrait = false;
    std::int32_t MarginLeft = 0;
    std::int32_t MarginRight = 0;
    std::int32_t MarginTop = 0;
    std::int32_t MarginBottom = 0;
    TPRImage* BitmapItem = nullptr;  // shows the pictures of every kind but ikJPEG; not owned
    TPRJpegImage* JpegItem = nullptr;  // shows ikJPEG pictures; not owned
    TPRLayoutPanel* LayoutPanel = nullptr;  // not owned
    TPRPage* Page = nullptr;  // not owned
    // The page of a multi-page file (a TIFF) the entry stands for: its 0-based index among the
    // file's PageCount pages. A one-page file has PageCount 0 (or 1) and index 0.
    std::int32_t PageIndex = 0;
    std::int32_t PageCount = 0;
};

// Copies every field of source into target, the four links included.
void CopyImage(TPDFImage& target, const TPDFImage& source);

// Gives the entry a paper and orientation: the paper's width and height in points (portrait)
// become the page size, swapped for landscape.
void ApplyPaper(TPDFImage& entry, const std::string& paperName, std::int32_t paperWidth, std::int32_t paperHeight,
                bool portrait);

// Sets the four margins, in points.
void ApplyMargins(TPDFImage& entry, std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

}  // namespace tovra
