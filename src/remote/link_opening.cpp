#include "remote/link_opening.h"

#include <array>
#include <string_view>

#include "app/code_page.h"

namespace sousuo {
namespace {

bool isTrailingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isSpaceOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// The host of "[userinfo@]host[:port]", the authority ending at the first "/", "?" or "#".
bool hasHost(std::string_view afterSlashes) {
    std::string_view authority = afterSlashes.substr(0, afterSlashes.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority;
    if (!host.empty() && host.front() == '[') {
        const auto close = host.find(']');
        return close != std::string_view::npos && close > 1;
    }
    host = host.substr(0, host.find(':'));
    return !host.empty();
}

}  // namespace

std::optional<std::string> openableLink(const Text& link) {
    std::string_view trimmed = link;
    while (!trimmed.empty() && isTrailingBlank(trimmed.back())) trimmed.remove_suffix(1);

    const std::string uri = toUtf8(trimmed);
    for (const char c : uri) {
        if (isSpaceOrControl(c)) return std::nullopt;
    }
    static constexpr std::array<std::string_view, 2> Schemes{"http://", "https://"};
    for (const std::string_view scheme : Schemes) {
        if (startsWithNoCase(uri, scheme) && hasHost(std::string_view(uri).substr(scheme.size()))) {
            return uri;
        }
    }
    return std::nullopt;
}

}  // namespace sousuo
