#pragma once
// The decoders behind decodePicture, one file each. Internal to the picture code: callers use
// decodePicture, which picks the decoder from the first bytes.
//
// Every decoder checks the declared size against MaxPictureBytes before it allocates pixels, and
// gives nothing when the bytes stop early or are inconsistent. Any thread.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/picture.h"

namespace sousuo {

/// Whether width x height pixels (4 bytes each) still fit in MaxPictureBytes once usedBytes are
/// taken. Sizes of zero or below never fit.
bool fitsPictureBudget(std::int64_t width, std::int64_t height, std::size_t usedBytes = 0);

/// A frame of width x height pixels with its RGBA buffer allocated (zero), after the budget check.
PictureFrame makeFrame(int width, int height, int delayMs = 0);

std::optional<Picture> decodeJpeg(const Bytes& bytes);
std::optional<Picture> decodePng(const Bytes& bytes);
/// Windows bitmap, icon, cursor and GIF (every frame of an animation, composited).
std::optional<Picture> decodeWithPixbuf(const Bytes& bytes, PictureFormat format);
/// PCX with 8 bits per pixel (palette at the end, or three colour planes) or 1 bit per pixel.
std::optional<Picture> decodePcx(const Bytes& bytes);

}  // namespace sousuo
