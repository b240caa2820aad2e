#include "search/search_command.h"

#include "app/code_page.h"
#include "placement/balloon_tip.h"
#include "search/query_encoding.h"

namespace sousuo {
namespace {

constexpr std::string_view BusyPicturePath = "/sousuo/sousuo1.jpg";
constexpr std::string_view EmptyQueryTip = "对不起，暂不支持搜索空内容哦";
constexpr int EnterKey = 13;

}  // namespace

void runSearch(AppContext& context) {
    // The busy picture goes up first on every search, an empty one included.
    const Bytes busy = context.fetcher.fetch(context.addresses.content(BusyPicturePath));
    writeBytes(context.window, Control::searchButton, prop::picture, busy);

    if (readText(context.window, Control::queryEdit, prop::text).empty()) {
        attachBalloonTip(context, context.window.windowHandleOf(Control::queryEdit),
                         fromUtf8(EmptyQueryTip), 1, 0);
        return;
    }

    writeInt(context.window, Control::mainWindow, prop::width, ExpandedSize.width);
    writeInt(context.window, Control::mainWindow, prop::height, ExpandedSize.height);
    encodeQuery(context);
    context.desktop.navigateBrowser(context.addresses.searchUrlPrefix + context.texts.encodedQuery);
}

void onQueryKeyDown(AppContext& context, int keyCode, int /*modifiers*/) {
    // The modifiers do not matter: Shift+Enter or Ctrl+Enter searches as well.
    if (keyCode == EnterKey) runSearch(context);
}

}  // namespace sousuo
