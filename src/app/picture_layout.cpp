#include "app/picture_layout.h"

#include <algorithm>

namespace sousuo {

PictureRect layoutPicture(int mode, int pictureWidth, int pictureHeight, int boxWidth,
                          int boxHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return {};
    mode = std::clamp(mode, 0, 2);
    if (mode == 0) return {0, 0, pictureWidth, pictureHeight};
    if (mode == 1) return {0, 0, boxWidth, boxHeight};

    int width = pictureWidth;
    int height = pictureHeight;
    if (width > boxWidth || height > boxHeight) {
        // Shrink by the tighter of the two ratios, in integers so that the result is exact.
        if (static_cast<long long>(pictureWidth) * boxHeight >=
            static_cast<long long>(pictureHeight) * boxWidth) {
            width = boxWidth;
            height = static_cast<int>(static_cast<long long>(pictureHeight) * boxWidth / pictureWidth);
        } else {
            height = boxHeight;
            width = static_cast<int>(static_cast<long long>(pictureWidth) * boxHeight / pictureHeight);
        }
        width = std::max(width, 1);
        height = std::max(height, 1);
    }
    return {(boxWidth - width) / 2, (boxHeight - height) / 2, width, height};
}

bool smoothScaling(int depthBitsPerPixel) { return depthBitsPerPixel > 16; }

}  // namespace sousuo
