#include "app/global_texts.h"

namespace sousuo {

Text GlobalTexts::bannerLink() const {
    const std::lock_guard lock(bannerMutex_);
    return bannerLink_;
}

void GlobalTexts::setBannerLink(Text link) {
    const std::lock_guard lock(bannerMutex_);
    bannerLink_ = std::move(link);
}

void GlobalTexts::release() {
    Text().swap(encodedQuery);
    Text().swap(lastStatusText);
    setBannerLink({});
}

}  // namespace sousuo
