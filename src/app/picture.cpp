#include "app/picture.h"

#include "app/picture_decoders.h"

namespace sousuo {

std::string_view pictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::none:
            return "none";
        case PictureFormat::bitmap:
            return "bitmap";
        case PictureFormat::jpeg:
            return "jpeg";
        case PictureFormat::png:
            return "png";
        case PictureFormat::icon:
            return "icon";
        case PictureFormat::cursor:
            return "cursor";
        case PictureFormat::gif:
            return "gif";
        case PictureFormat::pcx8:
            return "pcx8";
        case PictureFormat::pcx1:
            return "pcx1";
    }
    return "none";
}

PictureFormat detectPictureFormat(const Bytes& bytes) {
    if (bytes.size() < 8) return PictureFormat::none;
    const auto at = [&](std::size_t i) { return bytes[i]; };
    const auto starts = [&](std::string_view prefix) {
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            if (at(i) != static_cast<std::uint8_t>(prefix[i])) return false;
        }
        return true;
    };
    const bool imageCount = at(4) != 0 || at(5) != 0;  // little-endian count after the type word

    if (starts("BM")) return PictureFormat::bitmap;
    if (at(0) == 0xFF && at(1) == 0xD8) return PictureFormat::jpeg;
    if (at(0) == 0x89 && starts("\x89PNG")) return PictureFormat::png;
    if (starts(std::string_view("\x00\x00\x01\x00", 4)) && imageCount) return PictureFormat::icon;
    if (starts(std::string_view("\x00\x00\x02\x00", 4)) && imageCount) return PictureFormat::cursor;
    if (starts("GIF87a") || starts("GIF89a")) return PictureFormat::gif;
    if (at(0) == 0x0A && at(1) <= 5 && at(2) == 0x01 && at(3) == 0x08) return PictureFormat::pcx8;
    if (at(0) == 0x0A && at(1) == 0x03 && at(2) == 0x01 && at(3) == 0x01)
        return PictureFormat::pcx1;
    return PictureFormat::none;
}

bool fitsPictureBudget(std::int64_t width, std::int64_t height, std::size_t usedBytes) {
    if (width <= 0 || height <= 0 || usedBytes > MaxPictureBytes) return false;
    // Each factor is checked against the room left, so the product cannot overflow.
    const auto room = static_cast<std::uint64_t>(MaxPictureBytes - usedBytes) / 4;
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    return w <= room && h <= room / w;
}

PictureFrame makeFrame(int width, int height, int delayMs) {
    PictureFrame frame;
    frame.width = width;
    frame.height = height;
    frame.delayMs = delayMs;
    frame.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    return frame;
}

std::optional<Picture> decodePicture(const Bytes& bytes) {
    const PictureFormat format = detectPictureFormat(bytes);
    switch (format) {
        case PictureFormat::none:
            return std::nullopt;
        case PictureFormat::jpeg:
            return decodeJpeg(bytes);
        case PictureFormat::png:
            return decodePng(bytes);
        case PictureFormat::bitmap:
        case PictureFormat::icon:
        case PictureFormat::cursor:
        case PictureFormat::gif:
            return decodeWithPixbuf(bytes, format);
        case PictureFormat::pcx8:
        case PictureFormat::pcx1:
            return decodePcx(bytes);
    }
    return std::nullopt;
}

}  // namespace sousuo
