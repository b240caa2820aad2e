#include "remote/startup_content_loader.h"

#include <array>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>

#include "remote/banner.h"
#include "remote/version_check.h"

namespace sousuo {
namespace {

struct ButtonPicture {
    Control button;
    std::string_view path;
};

constexpr std::array<ButtonPicture, 3> ButtonPictures{{
    {Control::searchButton, "/sousuo/sousuo2.jpg"},
    {Control::resetButton, "/sousuo/huanyuan.jpg"},
    {Control::closeButton, "/sousuo/guanbi.jpg"},
}};

// Display mode 1 stretches each picture over its whole button.
constexpr std::int32_t StretchMode = 1;

bool ending(const AppContext& context) { return context.endInProgress.load() > 0; }

}  // namespace

void startupContentLoader(AppContext& context, Fetcher& downloads) {
    for (const ButtonPicture& entry : ButtonPictures) {
        if (ending(context)) return;
        writeInt(context.window, entry.button, prop::displayMode, StretchMode);
    }
    for (const ButtonPicture& entry : ButtonPictures) {
        if (ending(context)) return;
        const Bytes picture = downloads.fetch(context.addresses.content(entry.path));
        // A slow download may outlast the window: then nothing more is written.
        if (ending(context)) return;
        writeBytes(context.window, entry.button, prop::picture, picture);
    }
    if (ending(context)) return;
    loadBanner(context, downloads);
    if (ending(context)) return;
    checkVersion(context, downloads);
}

void startStartupWorker(AppContext& context) {
    try {
        std::thread([&context] {
            const std::unique_ptr<Fetcher> own =
                context.openStartupFetcher ? context.openStartupFetcher() : nullptr;
            startupContentLoader(context, own ? *own : context.fetcher);
        }).detach();
    } catch (const std::system_error&) {
        // No thread: the buttons stay bare, the banner empty and the version unchecked.
    }
}

}  // namespace sousuo
