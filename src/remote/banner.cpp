#include "remote/banner.h"

#include "remote/banner_split.h"
#include "remote/bytes_to_text.h"
#include "remote/link_opening.h"

namespace sousuo {
namespace {

constexpr std::string_view BannerPath = "/sousuo/AD.txt";

}  // namespace

void loadBanner(AppContext& context, Fetcher& downloads) {
    const Text text = bytesToText(downloads.fetch(context.addresses.content(BannerPath)));
    if (context.endInProgress.load() > 0) return;  // the window is going: write nothing more
    BannerParts parts = splitBanner(text);
    writeText(context.window, Control::bannerLabel, prop::caption, parts.caption);
    context.texts.setBannerLink(std::move(parts.link));
}

void openBannerLink(AppContext& context) {
    // The link comes from the server: it is only ever handed to the desktop as a web address,
    // never to a shell or a command line.
    if (const auto uri = openableLink(context.texts.bannerLink())) context.desktop.openUri(*uri);
}

}  // namespace sousuo
