// Windows bitmap, icon, cursor and GIF through gdk-pixbuf's loaders (the image library, not the
// toolkit). An animation is played through once on a virtual clock and every frame is kept,
// composited, with its delay.

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "app/picture_decoders.h"

namespace sousuo {
namespace {

// Keeps a frame count of many tiny frames from turning into millions of small allocations.
constexpr std::size_t MaxFrames = 4096;

// Both the window thread and the start-up worker decode pictures. gdk-pixbuf loads its modules
// lazily and does not promise that every module may run on two threads at once, so one decode
// runs at a time; pictures are small and the wait is short.
std::mutex& pixbufLock() {
    static std::mutex lock;
    return lock;
}

const char* moduleName(PictureFormat format) {
    switch (format) {
        case PictureFormat::bitmap:
            return "bmp";
        case PictureFormat::icon:
        case PictureFormat::cursor:
            return "ico";  // the icon module reads cursors too
        case PictureFormat::gif:
            return "gif";
        default:
            return nullptr;
    }
}

// The bitmap and icon modules accept a file that stops inside its pixels and leave the missing
// rows empty. They report each row they fill, so a picture counts as whole once every row of it
// has been reported.
struct LoaderState {
    bool tooBig = false;
    std::vector<bool> rowsFilled;
    std::size_t rowsMissing = 0;
};

void onSizePrepared(GdkPixbufLoader* loader, int width, int height, gpointer data) {
    auto* state = static_cast<LoaderState*>(data);
    if (fitsPictureBudget(width, height)) {
        state->rowsFilled.assign(static_cast<std::size_t>(height), false);
        state->rowsMissing = state->rowsFilled.size();
        return;
    }
    state->tooBig = true;
    // A zero size tells the module that it is about to be closed and must allocate nothing more.
    gdk_pixbuf_loader_set_size(loader, 0, 0);
}

void onAreaUpdated(GdkPixbufLoader*, int, int y, int, int height, gpointer data) {
    auto* state = static_cast<LoaderState*>(data);
    const auto rows = static_cast<std::int64_t>(state->rowsFilled.size());
    const std::int64_t end = std::min<std::int64_t>(std::int64_t{y} + height, rows);
    for (std::int64_t row = std::max(y, 0); row < end; ++row) {
        if (state->rowsFilled[static_cast<std::size_t>(row)]) continue;
        state->rowsFilled[static_cast<std::size_t>(row)] = true;
        --state->rowsMissing;
    }
}

std::uint32_t littleEndian32(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The bitmap and icon modules size buffers from two fields of the info header before they check
// them: the header's own length (four bytes could ask for 4 GiB; no header is longer than 124
// bytes) and the palette's colour count (read as a signed number, so 0xFFFFFFFF passes their check
// and asks for 4 GiB; and multiplied by 4 in 32 bits, even where the depth needs no palette). Both
// are checked here first, for the header that starts at `at`.
bool infoHeaderFits(const Bytes& bytes, std::size_t at) {
    if (bytes.size() < at + 4) return false;
    const std::uint32_t infoSize = littleEndian32(bytes, at);
    if (infoSize < 12 || infoSize > 124) return false;
    if (infoSize < 40 || bytes.size() < at + 36) return true;  // no colour count to check
    // Deeper pictures need no palette; a table for them still has at most 256 colours.
    const unsigned bits = bytes[at + 14] | bytes[at + 15] << 8;
    return littleEndian32(bytes, at + 32) <= (1u << (bits < 8 ? bits : 8));
}

// Every image that an icon's directory lists must lie inside the file (the icon module fills the
// colour rows first and the transparency mask after them, so the rows alone cannot show a cut
// mask) and start with a sound info header. Images stored as PNG are not read by the module.
bool iconDirectoryFits(const Bytes& bytes) {
    constexpr std::size_t HeaderSize = 6;
    constexpr std::size_t EntrySize = 16;
    constexpr std::size_t InfoHeaderSize = 40;
    const std::size_t count = static_cast<std::size_t>(bytes[4] | bytes[5] << 8);
    if (bytes.size() < HeaderSize + count * EntrySize) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = HeaderSize + i * EntrySize;
        const std::uint64_t size = littleEndian32(bytes, entry + 8);
        const std::uint64_t offset = littleEndian32(bytes, entry + 12);
        if (size < InfoHeaderSize || offset + size > bytes.size()) return false;
        if (!infoHeaderFits(bytes, static_cast<std::size_t>(offset))) return false;
    }
    return true;
}

// A bitmap's info header, and where its pixels start: the module grows its buffer up to that
// offset, so it must lie inside the file.
bool bitmapHeadersFit(const Bytes& bytes) {
    constexpr std::size_t PixelsOffsetAt = 10;
    constexpr std::size_t InfoAt = 14;  // after the file header
    return bytes.size() >= InfoAt && littleEndian32(bytes, PixelsOffsetAt) <= bytes.size() &&
           infoHeaderFits(bytes, InfoAt);
}

std::size_t colourTableSize(std::uint8_t flags) {
    return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 7) + 1) : 0;
}

// The GIF module trusts the image descriptors. It decodes every frame while it loads, into a buffer
// of the frame's own width x height, a product it takes as a signed int: 65535 x 65535 wraps, asks
// for exabytes, and the failed allocation aborts the process. And when it clears a frame that lies
// outside the logical screen it computes a negative length and writes far out of bounds. So the
// frames are listed here first, walking the blocks as the module does (bytes that start no block
// are skipped): each must lie within the screen, as the format requires, and together they must
// fit the budget and the frame count, as the composited frames will have to.
bool gifFramesFit(const Bytes& bytes) {
    constexpr std::size_t ScreenEnd = 13;  // signature and logical screen descriptor
    if (bytes.size() < ScreenEnd) return false;
    const int screenWidth = bytes[6] | bytes[7] << 8;
    const int screenHeight = bytes[8] | bytes[9] << 8;
    std::size_t at = ScreenEnd + colourTableSize(bytes[10]);
    const auto skipSubBlocks = [&] {
        while (at < bytes.size()) {
            const std::size_t length = bytes[at++];
            if (length == 0) return;
            at += length;
        }
    };
    std::size_t frames = 0;
    std::size_t usedBytes = 0;
    while (at < bytes.size()) {
        const std::uint8_t introducer = bytes[at++];
        if (introducer == 0x3B) break;  // trailer
        if (introducer == 0x21) {       // extension: a label, then sub-blocks
            ++at;
            skipSubBlocks();
        } else if (introducer == 0x2C) {  // image descriptor
            if (at + 9 > bytes.size()) break;
            const int left = bytes[at] | bytes[at + 1] << 8;
            const int top = bytes[at + 2] | bytes[at + 3] << 8;
            const int width = bytes[at + 4] | bytes[at + 5] << 8;
            const int height = bytes[at + 6] | bytes[at + 7] << 8;
            at += 9 + colourTableSize(bytes[at + 8]) + 1;  // and the LZW code size
            if (++frames > MaxFrames) return false;
            if (left + width > screenWidth || top + height > screenHeight) return false;
            if (width > 0 && height > 0) {
                if (!fitsPictureBudget(width, height, usedBytes)) return false;
                usedBytes += static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
            }
            skipSubBlocks();
        }
    }
    return true;
}

/// Owns a loader; closes it before the last reference goes, as gdk-pixbuf requires.
class LoaderOwner {
public:
    explicit LoaderOwner(GdkPixbufLoader* loader) : loader_(loader) {}
    ~LoaderOwner() {
        if (loader_ == nullptr) return;
        close();
        g_object_unref(loader_);
    }
    LoaderOwner(const LoaderOwner&) = delete;
    LoaderOwner& operator=(const LoaderOwner&) = delete;

    GdkPixbufLoader* get() const { return loader_; }

    /// True when the module finished the picture without an error.
    bool close() {
        if (closed_) return false;
        closed_ = true;
        GError* error = nullptr;
        const bool ok = gdk_pixbuf_loader_close(loader_, &error) != FALSE;
        g_clear_error(&error);
        return ok;
    }

private:
    GdkPixbufLoader* loader_;
    bool closed_ = false;
};

struct IterOwner {
    void operator()(GdkPixbufAnimationIter* iter) const { g_object_unref(iter); }
};

/// Appends the pixbuf as a straight RGBA frame; false when it is not 8-bit RGB(A) or too big.
bool appendFrame(Picture& picture, const GdkPixbuf* pixbuf, int delayMs, std::size_t& usedBytes) {
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    if (gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
        gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || (channels != 3 && channels != 4) ||
        picture.frames.size() >= MaxFrames || !fitsPictureBudget(width, height, usedBytes)) {
        return false;
    }
    const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
    const auto stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf));
    PictureFrame frame = makeFrame(width, height, delayMs);
    std::uint8_t* out = frame.rgba.data();
    for (int y = 0; y < height; ++y) {
        const guint8* in = pixels + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x, in += channels, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = channels == 4 ? in[3] : 0xFF;
        }
    }
    usedBytes += frame.rgba.size();
    picture.frames.push_back(std::move(frame));
    return true;
}

// The iterator interface still takes the deprecated GTimeVal; times here are milliseconds.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS
GTimeVal timeVal(std::int64_t ms) {
    return {static_cast<glong>(ms / 1000), static_cast<glong>(ms % 1000 * 1000)};
}
GdkPixbufAnimationIter* startAt(GdkPixbufAnimation* animation, std::int64_t ms) {
    const GTimeVal time = timeVal(ms);
    return gdk_pixbuf_animation_get_iter(animation, &time);
}
bool advanceTo(GdkPixbufAnimationIter* iter, std::int64_t ms) {
    const GTimeVal time = timeVal(ms);
    return gdk_pixbuf_animation_iter_advance(iter, &time) != FALSE;
}
G_GNUC_END_IGNORE_DEPRECATIONS

// Steps an iterator through one pass of the animation. The clock starts at zero and moves on by
// each frame's delay, so every frame is visited once, whatever the real time.
std::optional<Picture> playOnce(GdkPixbufAnimation* animation) {
    const std::unique_ptr<GdkPixbufAnimationIter, IterOwner> iter(startAt(animation, 0));
    if (!iter) return std::nullopt;

    Picture picture;
    std::size_t usedBytes = 0;
    std::int64_t elapsedMs = 0;
    for (;;) {
        const GdkPixbuf* pixbuf = gdk_pixbuf_animation_iter_get_pixbuf(iter.get());
        const int delayMs = gdk_pixbuf_animation_iter_get_delay_time(iter.get());
        if (pixbuf == nullptr ||
            !appendFrame(picture, pixbuf, delayMs > 0 ? delayMs : 0, usedBytes)) {
            return std::nullopt;
        }
        // -1 marks the frame that stays for good; the last frame closes the pass.
        if (delayMs <= 0 || gdk_pixbuf_animation_iter_on_currently_loading_frame(iter.get())) break;
        elapsedMs += delayMs;
        if (!advanceTo(iter.get(), elapsedMs)) break;
    }
    return picture;
}

}  // namespace

std::optional<Picture> decodeWithPixbuf(const Bytes& bytes, PictureFormat format) {
    const char* module = moduleName(format);
    if (module == nullptr || bytes.size() < 8) return std::nullopt;
    const bool stillPicture = format != PictureFormat::gif;
    const bool headersFit = format == PictureFormat::bitmap ? bitmapHeadersFit(bytes)
                            : format == PictureFormat::gif  ? gifFramesFit(bytes)
                                                            : iconDirectoryFits(bytes);
    if (!headersFit) return std::nullopt;

    const std::lock_guard<std::mutex> hold(pixbufLock());
    LoaderState state;  // outlives the loader, whose signal points at it
    GError* error = nullptr;
    LoaderOwner loader(gdk_pixbuf_loader_new_with_type(module, &error));
    g_clear_error(&error);
    if (loader.get() == nullptr) return std::nullopt;

    g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(onSizePrepared), &state);
    g_signal_connect(loader.get(), "area-updated", G_CALLBACK(onAreaUpdated), &state);
    const bool written =
        gdk_pixbuf_loader_write(loader.get(), bytes.data(), bytes.size(), &error) != FALSE;
    g_clear_error(&error);
    // Closed in every case: the module only reports a picture that stops early when it is closed.
    const bool closed = loader.close();
    if (!written || !closed || state.tooBig) return std::nullopt;
    // GIF frames may cover only part of the screen, so only still pictures need every row.
    if (stillPicture && state.rowsMissing != 0) return std::nullopt;

    GdkPixbufAnimation* animation = gdk_pixbuf_loader_get_animation(loader.get());
    if (animation == nullptr) return std::nullopt;
    if (!gdk_pixbuf_animation_is_static_image(animation)) return playOnce(animation);

    const GdkPixbuf* still = gdk_pixbuf_animation_get_static_image(animation);
    if (still == nullptr) return std::nullopt;
    Picture picture;
    std::size_t usedBytes = 0;
    if (!appendFrame(picture, still, 0, usedBytes)) return std::nullopt;
    return picture;
}

}  // namespace sousuo
