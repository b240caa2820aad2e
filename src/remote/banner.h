#pragma once
// The banner line right of the strip, and its link.

#include "app/app_context.h"

namespace sousuo {

/// Downloads "/sousuo/AD.txt", writes the caption to bannerLabel and stores bannerLink. Worker.
void loadBanner(AppContext& context, Fetcher& downloads);
inline void loadBanner(AppContext& context) { loadBanner(context, context.fetcher); }

/// Opens bannerLink with the desktop's default handler when it is an http or https address.
/// Window thread.
void openBannerLink(AppContext& context);

}  // namespace sousuo
