#pragma once
// Where a picture is drawn inside its picture box, for each display mode.

namespace sousuo {

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

/// The rectangle (in box pixels) that a picture of pictureWidth x pictureHeight covers in a box of
/// boxWidth x boxHeight. Mode 0: natural size at the top-left corner (cut off by the box). Mode 1:
/// stretched over the whole box. Mode 2: centred; a picture larger than the box is shrunk with its
/// proportions kept so that it fits, a smaller one keeps its size. Modes out of range are clamped.
PictureRect layoutPicture(int mode, int pictureWidth, int pictureHeight, int boxWidth,
                          int boxHeight);

/// Smooth (filtered) scaling on displays deeper than 16 bits per pixel, pixel copies otherwise.
bool smoothScaling(int depthBitsPerPixel);

}  // namespace sousuo
