#pragma once
// The fixed addresses of the program. The real values are fixed at build time (build_config.h);
// handlers take them from the context so that tests can point them at loopback servers.

#include <string_view>

#include "app/text.h"

namespace sousuo {

struct Addresses {
    /// The content server's base address, without a trailing slash; also the home page.
    Text contentBaseUrl;
    /// The web-search address that the percent-encoded query is appended to.
    Text searchUrlPrefix;

    Text homePageUrl() const { return contentBaseUrl; }
    /// contentBaseUrl followed by a fixed path such as "/sousuo/AD.txt".
    Text content(std::string_view path) const { return contentBaseUrl + Text(path); }
};

}  // namespace sousuo
