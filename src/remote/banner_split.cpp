#include "remote/banner_split.h"

namespace sousuo {

std::int64_t findText(std::string_view text, std::string_view needle) {
    if (needle.empty()) return 1;
    std::size_t at = 0;
    while (at + needle.size() <= text.size()) {
        if (text.compare(at, needle.size(), needle) == 0) return static_cast<std::int64_t>(at) + 1;
        at += static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
    }
    return -1;
}

Text leftPart(std::string_view text, std::int64_t count) {
    if (count <= 0) return {};
    const auto size = static_cast<std::int64_t>(text.size());
    return Text(text.substr(0, static_cast<std::size_t>(count < size ? count : size)));
}

Text rightPart(std::string_view text, std::int64_t count) {
    if (count <= 0) return {};
    const auto size = static_cast<std::int64_t>(text.size());
    if (count >= size) return Text(text);
    return Text(text.substr(static_cast<std::size_t>(size - count)));
}

BannerParts splitBanner(std::string_view text) {
    const std::int64_t at = findText(text, BannerMarker);
    // Without a marker the old counts would drop the caption and turn all but the first two
    // bytes into a link; the whole text is the caption instead.
    if (at < 0) return {Text(text), {}};
    const auto length = static_cast<std::int64_t>(text.size());
    const auto markerLength = static_cast<std::int64_t>(BannerMarker.size());
    return {leftPart(text, at - 1), rightPart(text, length - at - (markerLength - 1))};
}

}  // namespace sousuo
