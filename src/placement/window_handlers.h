#pragma once
// The strip's own controls: drag handle, reset button, close button. Window thread.

#include "app/app_context.h"

namespace sousuo {

void startWindowDrag(AppContext& context);
void resetToWaiting(AppContext& context);
void saveAndExit(AppContext& context);

}  // namespace sousuo
