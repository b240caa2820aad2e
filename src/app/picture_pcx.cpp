// PCX, decoded here because no maintained library on the platform reads it.
//
// A 128-byte header, then run-length coded scan lines: each line holds bytesPerLine bytes for each
// colour plane in turn. A byte with its two top bits set repeats the next byte (low six bits)
// times; any other byte stands for itself. Runs may go on across the end of a line. Read here: 8
// bits per pixel with one plane and the 256-colour palette at the end of the file (0x0C and 768
// bytes of R, G, B), 8 bits per pixel with three planes (red, green, blue), and 1 bit per pixel
// with one plane (0 black, 1 white: version 3 files carry no palette).

#include <cstdint>
#include <vector>

#include "app/picture_decoders.h"

namespace sousuo {
namespace {

constexpr std::size_t HeaderSize = 128;
constexpr std::size_t PaletteSize = 768;
constexpr std::uint8_t PaletteMarker = 0x0C;

std::uint16_t word(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

/// Reads the run-length coded bytes of [begin, end); false once they run out.
class RunReader {
public:
    RunReader(const std::uint8_t* begin, const std::uint8_t* end) : at_(begin), end_(end) {}

    bool read(std::uint8_t* out, std::size_t count) {
        while (count > 0) {
            if (run_ == 0) {
                if (at_ == end_) return false;
                const std::uint8_t byte = *at_++;
                if ((byte & 0xC0) != 0xC0) {
                    value_ = byte;
                    run_ = 1;
                } else {
                    if (at_ == end_) return false;
                    run_ = byte & 0x3F;
                    value_ = *at_++;
                    continue;  // a run of zero is allowed and repeats nothing
                }
            }
            const std::size_t take = run_ < count ? run_ : count;
            for (std::size_t i = 0; i < take; ++i) *out++ = value_;
            run_ -= take;
            count -= take;
        }
        return true;
    }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
    std::size_t run_ = 0;
    std::uint8_t value_ = 0;
};

enum class Layout : std::uint8_t { palette8, rgb8, mono1 };

std::optional<Layout> layoutOf(int bitsPerPixel, int planes) {
    if (bitsPerPixel == 8 && planes == 1) return Layout::palette8;
    if (bitsPerPixel == 8 && planes == 3) return Layout::rgb8;
    if (bitsPerPixel == 1 && planes == 1) return Layout::mono1;
    return std::nullopt;
}

void writePixels(Layout layout, const std::uint8_t* line, std::size_t bytesPerLine,
                 const std::uint8_t* palette, int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x, out += 4) {
        const auto i = static_cast<std::size_t>(x);
        switch (layout) {
            case Layout::palette8: {
                const std::uint8_t* colour = palette + std::size_t{line[i]} * 3;
                out[0] = colour[0];
                out[1] = colour[1];
                out[2] = colour[2];
                break;
            }
            case Layout::rgb8:
                out[0] = line[i];
                out[1] = line[bytesPerLine + i];
                out[2] = line[2 * bytesPerLine + i];
                break;
            case Layout::mono1: {
                const bool set = (line[i / 8] >> (7 - i % 8)) & 1;
                out[0] = out[1] = out[2] = set ? 0xFF : 0x00;
                break;
            }
        }
        out[3] = 0xFF;
    }
}

}  // namespace

std::optional<Picture> decodePcx(const Bytes& bytes) {
    if (bytes.size() < HeaderSize || bytes[0] != 0x0A || bytes[2] != 1) return std::nullopt;
    const int left = word(bytes, 4);
    const int top = word(bytes, 6);
    const int right = word(bytes, 8);
    const int bottom = word(bytes, 10);
    const std::optional<Layout> layout = layoutOf(bytes[3], bytes[65]);
    const std::size_t bytesPerLine = word(bytes, 66);
    if (!layout || right < left || bottom < top) return std::nullopt;
    const int width = right - left + 1;
    const int height = bottom - top + 1;
    const std::size_t bitsPerPixel = bytes[3];
    if (bytesPerLine * 8 < static_cast<std::size_t>(width) * bitsPerPixel) return std::nullopt;
    if (!fitsPictureBudget(width, height)) return std::nullopt;

    const std::uint8_t* dataEnd = bytes.data() + bytes.size();
    const std::uint8_t* palette = nullptr;
    if (*layout == Layout::palette8) {
        if (bytes.size() < HeaderSize + 1 + PaletteSize) return std::nullopt;
        palette = dataEnd - PaletteSize;
        if (palette[-1] != PaletteMarker) return std::nullopt;
        dataEnd = palette - 1;
    }

    // Two coded bytes give at most 63 pixel bytes: a file too short to fill the picture is refused
    // before its pixels are allocated.
    std::vector<std::uint8_t> line(bytesPerLine * bytes[65]);
    const auto coded = static_cast<std::uint64_t>(dataEnd - (bytes.data() + HeaderSize));
    if (coded / 2 * 63 + coded % 2 <
        std::uint64_t{line.size()} * static_cast<std::uint64_t>(height)) {
        return std::nullopt;
    }
    RunReader runs(bytes.data() + HeaderSize, dataEnd);
    PictureFrame frame = makeFrame(width, height);
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        if (!runs.read(line.data(), line.size())) return std::nullopt;  // the file stops early
        writePixels(*layout, line.data(), bytesPerLine, palette, width,
                    frame.rgba.data() + static_cast<std::size_t>(y) * stride);
    }
    Picture picture;
    picture.frames.push_back(std::move(frame));
    return picture;
}

}  // namespace sousuo
