#include "search/search_command.h"
// Placeholder until this subsystem lands.
namespace sousuo {} // namespace sousuo
namespace sousuo {
void runSearch(AppContext&) {}
void onQueryKeyDown(AppContext&, int, int) {}
}  // namespace sousuo
