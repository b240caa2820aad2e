#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "app/picture.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOUSUO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOUSUO_ASAN 1
#endif
#endif

#ifdef SOUSUO_ASAN
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*,
                                                                  std::size_t),
                                                         void (*)(const volatile void*));
#endif

namespace sousuo {
namespace {

const std::filesystem::path FixtureDir =
    std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / "pictures";

Bytes fixture(const std::string& name) {
    std::ifstream in(FixtureDir / name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing fixture " << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Rgba {
    int r, g, b, a;
};

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

Rgba pixelAt(const PictureFrame& frame, int x, int y) {
    const std::uint8_t* p = frame.rgba.data() + (static_cast<std::size_t>(y) * frame.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

bool near(const Rgba& a, const Rgba& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

constexpr Rgba Red{255, 0, 0, 255};
constexpr Rgba Green{0, 255, 0, 255};
constexpr Rgba Blue{0, 0, 255, 255};
constexpr Rgba Black{0, 0, 0, 255};
constexpr Rgba White{255, 255, 255, 255};

struct GoodFixture {
    const char* name;
    PictureFormat format;
    Rgba left;
    Rgba right;
    int tolerance;
};

// Every one is 16 x 8 with a left and a right half (scripts/make-picture-fixtures).
const GoodFixture GoodFixtures[] = {
    {"split.bmp", PictureFormat::bitmap, Red, Blue, 0},
    {"split.jpg", PictureFormat::jpeg, Red, Blue, 6},
    {"split.png", PictureFormat::png, Red, {0, 0, 255, 128}, 0},
    {"split.ico", PictureFormat::icon, Red, Blue, 0},
    {"split.cur", PictureFormat::cursor, Red, Blue, 0},
    {"split.gif", PictureFormat::gif, Red, Blue, 0},
    {"split8.pcx", PictureFormat::pcx8, Red, Blue, 0},
    {"split24.pcx", PictureFormat::pcx8, Red, Blue, 0},
    {"mono.pcx", PictureFormat::pcx1, Black, White, 0},
};

TEST(PictureDecode, EveryFormatGivesItsPixels) {
    for (const GoodFixture& f : GoodFixtures) {
        SCOPED_TRACE(f.name);
        const Bytes bytes = fixture(f.name);
        EXPECT_EQ(detectPictureFormat(bytes), f.format);
        const std::optional<Picture> picture = decodePicture(bytes);
        ASSERT_TRUE(picture);
        ASSERT_EQ(picture->frames.size(), 1u);
        const PictureFrame& frame = picture->frames.front();
        ASSERT_EQ(frame.width, 16);
        ASSERT_EQ(frame.height, 8);
        ASSERT_EQ(frame.rgba.size(), 16u * 8u * 4u);
        EXPECT_EQ(frame.delayMs, 0);
        for (const int y : {0, 7}) {  // both ends, so that upside-down rows show
            for (const int x : {0, 7}) {
                EXPECT_TRUE(near(pixelAt(frame, x, y), f.left, f.tolerance))
                    << x << "," << y << " is " << pixelAt(frame, x, y);
            }
            for (const int x : {8, 15}) {
                EXPECT_TRUE(near(pixelAt(frame, x, y), f.right, f.tolerance))
                    << x << "," << y << " is " << pixelAt(frame, x, y);
            }
        }
    }
}

TEST(PictureDecode, RunLengthBitmapThatEndsEarlyOnPurposeIsWhole) {
    // Only the bottom two rows are coded before the end-of-bitmap code; the file is not cut.
    const std::optional<Picture> picture = decodePicture(fixture("rle-end-early.bmp"));
    ASSERT_TRUE(picture);
    const PictureFrame& frame = picture->frames.front();
    ASSERT_EQ(frame.width, 16);
    ASSERT_EQ(frame.height, 8);
    EXPECT_TRUE(near(pixelAt(frame, 0, 7), Red, 0)) << pixelAt(frame, 0, 7);
    EXPECT_TRUE(near(pixelAt(frame, 15, 6), Blue, 0)) << pixelAt(frame, 15, 6);
}

TEST(PictureDecode, AnimatedGifGivesEveryFrameCompositedWithItsDelay) {
    const std::optional<Picture> picture = decodePicture(fixture("anim.gif"));
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->frames.size(), 3u);
    struct Expected {
        int delayMs;
        Rgba left;
        Rgba right;
    };
    // The later frames cover one half each and are drawn over the frames before them.
    const Expected expected[] = {{100, Red, Red}, {200, Green, Red}, {300, Green, Blue}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const PictureFrame& frame = picture->frames[i];
        ASSERT_EQ(frame.width, 8);
        ASSERT_EQ(frame.height, 8);
        EXPECT_EQ(frame.delayMs, expected[i].delayMs);
        EXPECT_TRUE(near(pixelAt(frame, 1, 5), expected[i].left, 0)) << pixelAt(frame, 1, 5);
        EXPECT_TRUE(near(pixelAt(frame, 6, 5), expected[i].right, 0)) << pixelAt(frame, 6, 5);
    }
}

TEST(PictureDecode, BrokenFilesGiveNothing) {
    const char* const broken[] = {
        "empty.bin",           "first8.png",          "truncated-split.png", "truncated-split.jpg",
        "truncated-split.bmp", "truncated-split.gif", "truncated-anim.gif",  "truncated.pcx",
        "version6.pcx",        "wrong-count.ico",     "no-frames.gif",       "frame-off-screen.gif",
    };
    for (const char* name : broken) {
        EXPECT_FALSE(decodePicture(fixture(name))) << name;
    }
    // Every good file cut to its first 8 bytes (its format still shows) or to half its length.
    for (const GoodFixture& f : GoodFixtures) {
        const Bytes whole = fixture(f.name);
        for (const std::size_t length : {std::size_t{8}, whole.size() / 2}) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_FALSE(decodePicture(cut)) << f.name << " cut to " << length << " bytes";
        }
    }
    EXPECT_FALSE(decodePicture(bytesOf("<html><body>404 Not Found</body></html>")));
}

#ifdef SOUSUO_ASAN
std::atomic<bool> watching{false};
std::atomic<std::size_t> largestAllocation{0};

void onMalloc(const volatile void*, std::size_t size) {
    if (!watching.load(std::memory_order_relaxed)) return;
    std::size_t seen = largestAllocation.load(std::memory_order_relaxed);
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
    }
}
void onFree(const volatile void*) {}
#endif

TEST(PictureDecode, HugeDeclaredSizeGivesNothingBeforeAllocating) {
#ifdef SOUSUO_ASAN
    static const bool hooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
    ASSERT_TRUE(hooked);
#endif
    // Each declares at least 30000 x 30000 pixels, or a 4 GiB header or palette, in a few hundred
    // bytes.
    const char* const huge[] = {
        "huge.png",
        "huge.bmp",
        "huge-info-header.bmp",
        "huge-pixel-offset.bmp",
        "huge-colour-count.bmp",
        "huge.ico",
        "huge-colour-count.ico",
        "huge-colour-count-32bit.ico",
        "huge.gif",
        "huge-frame.gif",
        "huge.jpg",
        "huge.pcx",
    };
    for (const char* name : huge) {
        const Bytes bytes = fixture(name);
        ASSERT_NE(detectPictureFormat(bytes), PictureFormat::none) << name;
#ifdef SOUSUO_ASAN
        largestAllocation = 0;
        watching = true;
#endif
        EXPECT_FALSE(decodePicture(bytes)) << name;
#ifdef SOUSUO_ASAN
        watching = false;
        EXPECT_LT(largestAllocation.load(), std::size_t{1} << 20) << name;
#endif
    }
}

TEST(PictureDecodeConcurrency, TwoThreadsDecodeAtOnce) {
    // The window thread and the start-up worker both decode; the pixbuf loaders must not mix.
    const Bytes gif = fixture("anim.gif");
    const Bytes bmp = fixture("split.bmp");
    std::atomic<int> failures{0};
    const auto decodeMany = [&](const Bytes& bytes, std::size_t frames) {
        for (int i = 0; i < 50; ++i) {
            const std::optional<Picture> picture = decodePicture(bytes);
            if (!picture || picture->frames.size() != frames) ++failures;
        }
    };
    std::thread other(decodeMany, std::cref(gif), 3);
    decodeMany(bmp, 1);
    other.join();
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace sousuo
