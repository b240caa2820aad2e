// The picture format check and every decoder behind decodePicture.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/picture.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const sousuo::Bytes bytes(data, data + size);
    const sousuo::PictureFormat format = sousuo::detectPictureFormat(bytes);
    const std::optional<sousuo::Picture> picture = sousuo::decodePicture(bytes);
    if (!picture) return 0;

    // What decodes had a format, and every frame is whole and within the budget.
    FUZZ_CHECK(format != sousuo::PictureFormat::none);
    FUZZ_CHECK(!picture->frames.empty());
    std::size_t total = 0;
    for (const sousuo::PictureFrame& frame : picture->frames) {
        FUZZ_CHECK(frame.width > 0 && frame.height > 0 && frame.delayMs >= 0);
        FUZZ_CHECK(frame.rgba.size() == static_cast<std::size_t>(frame.width) *
                                            static_cast<std::size_t>(frame.height) * 4);
        total += frame.rgba.size();
    }
    FUZZ_CHECK(total <= sousuo::MaxPictureBytes);
    return 0;
}
