#pragma once
// Pictures written to picture boxes: the format is taken from the first bytes, then the bytes are
// decoded into RGBA frames that the toolkit draws. Anything that does not decode leaves the box
// bare.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/text.h"

namespace sousuo {

enum class PictureFormat : std::uint8_t {
    none,
    bitmap,
    jpeg,
    png,
    icon,
    cursor,
    gif,
    pcx8,
    pcx1,
};

std::string_view pictureFormatName(PictureFormat format);

/// The format by the first 8 bytes, tried in table order; fewer than 8 bytes have no format.
PictureFormat detectPictureFormat(const Bytes& bytes);

/// One frame: width x height pixels, 4 bytes each (R, G, B, A; not premultiplied), rows top down.
struct PictureFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    int delayMs = 0;  // how long the frame shows in an animation; 0 for a still picture
};

/// A decoded picture: one frame, or several for an animation that loops.
struct Picture {
    std::vector<PictureFrame> frames;
    int width() const { return frames.empty() ? 0 : frames.front().width; }
    int height() const { return frames.empty() ? 0 : frames.front().height; }
};

/// The most pixel memory one picture may need (all frames together); larger pictures are refused.
inline constexpr std::size_t MaxPictureBytes = std::size_t{64} << 20;

/// Decodes the bytes; nothing when they have no known format, stop early, are inconsistent, or
/// would need more than MaxPictureBytes of pixels (refused before the pixels are allocated).
/// Animated GIFs give every frame, composited, with its delay. Any thread; bitmaps, icons,
/// cursors and GIFs are decoded one at a time across threads.
std::optional<Picture> decodePicture(const Bytes& bytes);

}  // namespace sousuo
