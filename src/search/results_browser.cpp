#include "search/results_browser.h"

namespace sousuo {
namespace {

constexpr std::string_view NormalPicturePath = "/sousuo/sousuo2.jpg";

}  // namespace

void onBrowserStatusText(AppContext& context, const Text& statusText) {
    context.texts.lastStatusText = statusText;
}

void onBrowserNewWindow(AppContext& context) {
    // The new window itself was already refused; its page opens here instead, at the address the
    // pointer last showed (the empty text before any status text).
    context.desktop.navigateBrowser(context.texts.lastStatusText);
}

void onBrowserNavigateComplete(AppContext& context) {
    const Bytes normal = context.fetcher.fetch(context.addresses.content(NormalPicturePath));
    writeBytes(context.window, Control::searchButton, prop::picture, normal);
}

}  // namespace sousuo
