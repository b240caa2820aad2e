#include "placement/position_store.h"
// Placeholder until this subsystem lands.
namespace sousuo {} // namespace sousuo
namespace sousuo {
void restorePosition(AppContext&) {}
void savePosition(AppContext&) {}
}  // namespace sousuo
