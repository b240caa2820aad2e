#pragma once
// The results browser's three handled events. Window thread only.

#include "app/app_context.h"

namespace sousuo {

/// Remembers the status text (the hovered link's address) in lastStatusText.
void onBrowserStatusText(AppContext& context, const Text& statusText);

/// A page asked for a new window: it was cancelled; navigate resultsBrowser to lastStatusText.
void onBrowserNewWindow(AppContext& context);

/// A navigation (of the page or a frame) completed: give searchButton its normal picture back.
void onBrowserNavigateComplete(AppContext& context);

}  // namespace sousuo
