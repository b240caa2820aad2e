// The picture box as the screen shows it: every format, each display mode, broken pictures, and
// animations that play. Runs under Xvfb (see tests/gtk/CMakeLists.txt).

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>

#include "gtk/picture_box.h"

namespace sousuo::gtk {
namespace {

using Rgba = std::array<int, 4>;
constexpr Rgba Bare{0, 0, 0, 0};  // nothing drawn: the window's background would show

Bytes fixture(const std::string& name) {
    std::ifstream file(std::string(SOUSUO_PICTURE_FIXTURES) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// A picture box in an off-screen window, drawn into an image we can read pixels from.
class ShownBox {
public:
    ShownBox(int width, int height) : box_(width, height), window_(gtk_offscreen_window_new()) {
        gtk_container_add(GTK_CONTAINER(window_), box_.widget());
        gtk_widget_show_all(window_);
    }
    ~ShownBox() { gtk_widget_destroy(window_); }

    PictureBox& box() { return box_; }

    Rgba pixel(int x, int y) {
        const int width = gtk_widget_get_allocated_width(box_.widget());
        const int height = gtk_widget_get_allocated_height(box_.widget());
        if (x < 0 || y < 0 || x >= width || y >= height) {
            ADD_FAILURE() << x << "," << y << " lies outside the " << width << " x " << height << " box";
            return {-1, -1, -1, -1};
        }
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* cr = cairo_create(surface);
        gtk_widget_draw(box_.widget(), cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const auto word = *reinterpret_cast<const std::uint32_t*>(
            data + y * cairo_image_surface_get_stride(surface) + x * 4);
        cairo_surface_destroy(surface);
        const int alpha = static_cast<int>(word >> 24);
        const auto channel = [&](int shift) {
            const int premultiplied = static_cast<int>((word >> shift) & 0xFF);
            return alpha ? premultiplied * 255 / alpha : 0;
        };
        return {channel(16), channel(8), channel(0), alpha};
    }

private:
    PictureBox box_;
    GtkWidget* window_;
};

// Colours compared loosely: JPEG is lossy and scaling blends at edges.
::testing::AssertionResult near(const Rgba& actual, const Rgba& expected) {
    for (int i = 0; i < 4; ++i) {
        if (std::abs(actual[i] - expected[i]) > 40) {
            return ::testing::AssertionFailure()
                   << "got " << actual[0] << "," << actual[1] << "," << actual[2] << "," << actual[3];
        }
    }
    return ::testing::AssertionSuccess();
}

constexpr Rgba Red{255, 0, 0, 255};
constexpr Rgba Blue{0, 0, 255, 255};

// The fixtures are 16 x 8: red on the left half, blue on the right.
TEST(PictureBoxScreen, EveryFormatFillsTheButtonInModeOne) {
    for (const char* name : {"split.bmp", "split.jpg", "split.png", "split.ico", "split.cur",
                             "split.gif", "split8.pcx", "split24.pcx"}) {
        SCOPED_TRACE(name);
        ShownBox shown(20, 29);
        shown.box().setDisplayMode(1);
        shown.box().setPicture(fixture(name));
        EXPECT_TRUE(near(shown.pixel(2, 2), Red));
        EXPECT_TRUE(near(shown.pixel(2, 27), Red));
        if (std::string(name) != "split.png") {  // its blue half is half transparent
            EXPECT_TRUE(near(shown.pixel(18, 27), Blue));
        }
    }
}

TEST(PictureBoxScreen, DisplayModesPlaceThePicture) {
    struct Case {
        int mode;
        int x, y;
        Rgba expected;
    };
    const Case cases[] = {
        {0, 1, 1, Red},   {0, 12, 6, Blue},  {0, 10, 12, Bare},  // natural size, top-left
        {1, 1, 24, Red},  {1, 22, 24, Blue},                      // stretched over 24 x 26
        {2, 5, 10, Red},  {2, 18, 15, Blue}, {2, 1, 1, Bare},    // centred at 4, 9
        {2, 10, 20, Bare},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " at " << c.x << "," << c.y);
        ShownBox shown(24, 26);
        shown.box().setPicture(fixture("split.bmp"));
        shown.box().setDisplayMode(c.mode);
        EXPECT_TRUE(near(shown.pixel(c.x, c.y), c.expected));
    }
}

TEST(PictureBoxScreen, ALargerPictureShrinksToFitInModeTwo) {
    // 16 x 8 in a 4 x 26 box: shrunk to 4 x 2, centred at 0, 12.
    ShownBox shown(4, 26);
    shown.box().setDisplayMode(2);
    shown.box().setPicture(fixture("split.bmp"));
    EXPECT_TRUE(near(shown.pixel(0, 12), Red));
    EXPECT_TRUE(near(shown.pixel(3, 13), Blue));
    EXPECT_TRUE(near(shown.pixel(1, 5), Bare));
}

TEST(PictureBoxScreen, BrokenPicturesLeaveTheBoxBare) {
    for (const char* name : {"empty.bin", "first8.png", "truncated-split.png", "truncated-split.jpg",
                             "truncated-split.gif", "version6.pcx", "no-frames.gif",
                             "wrong-count.ico", "huge.png"}) {
        SCOPED_TRACE(name);
        ShownBox shown(24, 26);
        shown.box().setDisplayMode(1);
        shown.box().setPicture(fixture("split.bmp"));
        shown.box().setPicture(fixture(name));  // replaces the good one
        EXPECT_EQ(shown.box().frameCount(), 0u);
        EXPECT_TRUE(near(shown.pixel(2, 2), Bare));
    }
}

TEST(PictureBoxScreen, AnAnimationChangesWhatTheBoxShows) {
    ShownBox shown(24, 26);
    shown.box().setDisplayMode(1);
    shown.box().setPicture(fixture("anim.gif"));
    ASSERT_GT(shown.box().frameCount(), 1u);
    const Rgba first = shown.pixel(12, 13);
    // Run the main loop until a later frame shows, or fail after 10 s.
    const gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
    bool changed = false;
    while (!changed && g_get_monotonic_time() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        changed = shown.pixel(12, 13) != first;
    }
    EXPECT_TRUE(changed);
}

}  // namespace
}  // namespace sousuo::gtk

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
