#pragma once
// The search command: Enter in queryEdit or a left press on searchButton.

#include "app/app_context.h"

namespace sousuo {

/// Busy picture, then either the empty-query tip or: expand, encode, navigate. Window thread.
void runSearch(AppContext& context);

/// Key code 13 (Enter, main keyboard or keypad, any modifiers) runs the search; other keys nothing.
void onQueryKeyDown(AppContext& context, int keyCode, int modifiers);

}  // namespace sousuo
