#include "app/picture_layout.h"

#include <gtest/gtest.h>

namespace sousuo {
namespace {

TEST(PictureLayout, EachDisplayModePlacesThePicture) {
    struct Case {
        int mode;
        int pictureWidth;
        int pictureHeight;
        PictureRect expected;  // in a box of 20 x 29, the size of the strip's buttons
    };
    const Case cases[] = {
        {0, 10, 10, {0, 0, 10, 10}},   // natural size at the top-left corner
        {0, 40, 50, {0, 0, 40, 50}},   // larger: the box cuts it off
        {1, 10, 10, {0, 0, 20, 29}},   // stretched over the whole box
        {1, 40, 10, {0, 0, 20, 29}},   // proportions not kept
        {2, 10, 10, {5, 9, 10, 10}},   // smaller: natural size, centred
        {2, 20, 29, {0, 0, 20, 29}},   // exactly the box
        {2, 40, 58, {0, 0, 20, 29}},   // twice the box: halved
        {2, 40, 10, {0, 12, 20, 5}},   // wider: fits the width, proportions kept
        {2, 10, 58, {7, 0, 5, 29}},    // taller: fits the height
        {2, 30, 20, {0, 8, 20, 13}},   // wider than the box only
        {2, 1000, 1, {0, 14, 20, 1}},  // never shrunk below one pixel
        {7, 40, 10, {0, 12, 20, 5}},   // modes above 2 count as 2
        {-1, 40, 50, {0, 0, 40, 50}},  // and below 0 as 0
        {1, 0, 0, {0, 0, 0, 0}},       // no picture, nothing drawn
    };
    for (const Case& c : cases) {
        const PictureRect r = layoutPicture(c.mode, c.pictureWidth, c.pictureHeight, 20, 29);
        EXPECT_TRUE(r.x == c.expected.x && r.y == c.expected.y && r.width == c.expected.width &&
                    r.height == c.expected.height)
            << "mode " << c.mode << ", " << c.pictureWidth << " x " << c.pictureHeight << ": got "
            << r.x << ", " << r.y << ", " << r.width << " x " << r.height;
    }
}

TEST(PictureLayout, SmoothScalingAboveSixteenBitsPerPixel) {
    for (const int depth : {1, 8, 15, 16}) EXPECT_FALSE(smoothScaling(depth)) << depth;
    for (const int depth : {24, 30, 32}) EXPECT_TRUE(smoothScaling(depth)) << depth;
}

}  // namespace
}  // namespace sousuo
