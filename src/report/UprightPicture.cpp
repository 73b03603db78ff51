#include "report/UprightPicture.h"

#include <QTransform>

namespace tovra {

// In the image object's unit square u runs along the stored rows (left to right) and v up the
// stored columns (the stored top row is at v = 1). Each orientation says where the stored rows
// and columns belong once upright; the matrices below place them there within the box.
TPdfMatrix UprightMatrix(int orientation, const TPdfBox& box) {
    const float x = box.x, y = box.y, w = box.width, h = box.height;
    switch (orientation) {
        case 2: return {-w, 0, 0, h, x + w, y};      // mirrored left-right
        case 3: return {-w, 0, 0, -h, x + w, y + h};  // turned 180 degrees
        case 4: return {w, 0, 0, -h, x, y + h};       // mirrored top-bottom
        case 5: return {0, -h, -w, 0, x + w, y + h};  // mirrored along the top-left to bottom-right diagonal
        case 6: return {0, -h, w, 0, x, y + h};       // turned 90 degrees clockwise
        case 7: return {0, h, w, 0, x, y};            // mirrored along the top-right to bottom-left diagonal
        case 8: return {0, h, -w, 0, x + w, y};       // turned 90 degrees anticlockwise
        default: return {w, 0, 0, h, x, y};
    }
}

QImage UprightImage(const QImage& stored, int orientation) {
    // Turns by multiples of 90 degrees and mirrors move pixels exactly; nothing is resampled.
    const QTransform clockwise = QTransform().rotate(90);
    switch (orientation) {
        case 2: return stored.mirrored(true, false);
        case 3: return stored.mirrored(true, true);
        case 4: return stored.mirrored(false, true);
        case 5: return stored.transformed(clockwise).mirrored(true, false);
        case 6: return stored.transformed(clockwise);
        case 7: return stored.transformed(clockwise).mirrored(false, true);
        case 8: return stored.transformed(QTransform().rotate(270));
        default: return stored;
    }
}

}  // namespace tovra
