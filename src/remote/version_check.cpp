#include "remote/version_check.h"

#include <string_view>

#include "app/code_page.h"
#include "remote/bytes_to_text.h"

namespace sousuo {
namespace {

constexpr std::string_view MarkerPath = "/sousuo/banben.txt";
constexpr std::string_view MessageTextPath = "/sousuo/xxnr.txt";
constexpr std::string_view MessageTitlePath = "/sousuo/xxbt.txt";

std::string_view beforeZero(const Text& text) {
    const std::string_view view(text);
    return view.substr(0, view.find('\0'));
}

Text fetchText(AppContext& context, Fetcher& downloads, std::string_view path) {
    return bytesToText(downloads.fetch(context.addresses.content(path)));
}

bool ending(const AppContext& context) { return context.endInProgress.load() > 0; }

}  // namespace

bool versionMatches(const Text& marker, const Text& programVersion) {
    return beforeZero(marker) == beforeZero(programVersion);
}

void checkVersion(AppContext& context, Fetcher& downloads) {
    // All three files every time, also when the marker matches; nothing more once the window
    // has gone while a download was under way.
    const Text marker = fetchText(context, downloads, MarkerPath);
    if (ending(context)) return;
    const Text messageText = fetchText(context, downloads, MessageTextPath);
    if (ending(context)) return;
    const Text messageTitle = fetchText(context, downloads, MessageTitlePath);
    if (ending(context)) return;

    const Text version = readText(context.window, Control::mainWindow, prop::caption);
    if (versionMatches(marker, version)) return;

    context.desktop.showMessageBox(messageText, messageTitle);
    // The user may have closed the window while the box was open: the program is already ending
    // and the home page is not opened.
    if (ending(context)) return;
    context.desktop.openUri(toUtf8(context.addresses.homePageUrl()));
    context.desktop.endProgram(0);
}

}  // namespace sousuo
