// PNG through libpng's simplified reading interface, which keeps libpng's error jumps inside the
// library and reports a failure as a zero result.

#include <png.h>

#include "app/picture_decoders.h"

namespace sousuo {
namespace {

/// Releases what libpng holds for the image; harmless when it already released it after an error.
struct ImageOwner {
    png_image image{};
    ImageOwner() { image.version = PNG_IMAGE_VERSION; }
    ~ImageOwner() { png_image_free(&image); }
    ImageOwner(const ImageOwner&) = delete;
    ImageOwner& operator=(const ImageOwner&) = delete;
};

}  // namespace

std::optional<Picture> decodePng(const Bytes& bytes) {
    ImageOwner owner;
    png_image& image = owner.image;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        return std::nullopt;
    }
    if (!fitsPictureBudget(image.width, image.height)) return std::nullopt;

    image.format = PNG_FORMAT_RGBA;
    PictureFrame frame = makeFrame(static_cast<int>(image.width), static_cast<int>(image.height));
    if (png_image_finish_read(&image, nullptr, frame.rgba.data(), 0, nullptr) == 0) {
        return std::nullopt;
    }
    Picture picture;
    picture.frames.push_back(std::move(frame));
    return picture;
}

}  // namespace sousuo
