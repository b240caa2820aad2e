// The banner file: split into caption and link, and the byte-counting text operations under it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "remote/banner_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const sousuo::BannerParts parts = sousuo::splitBanner(text);
    const std::int64_t at = sousuo::findText(text, sousuo::BannerMarker);
    if (at < 0) {
        FUZZ_CHECK(parts.caption == text && parts.link.empty());
    } else {
        // Caption, marker and link put back together are the file again.
        FUZZ_CHECK(parts.caption.size() + sousuo::BannerMarker.size() + parts.link.size() ==
                   text.size());
        FUZZ_CHECK(parts.caption + std::string(sousuo::BannerMarker) + parts.link == text);
    }

    // The first eight bytes, when there are that many, give a count for the other operations.
    if (size >= 8) {
        std::int64_t count = 0;
        std::memcpy(&count, data, sizeof count);
        const std::string_view rest = text.substr(8);
        const sousuo::Text left = sousuo::leftPart(rest, count);
        const sousuo::Text right = sousuo::rightPart(rest, count);
        FUZZ_CHECK(left.size() == right.size() && left.size() <= rest.size());
        FUZZ_CHECK(rest.substr(0, left.size()) == left);
        FUZZ_CHECK(rest.substr(rest.size() - right.size()) == right);
        // The text begins with its own left part: found at byte 1.
        FUZZ_CHECK(sousuo::findText(rest, left) == 1);
    }
    return 0;
}
