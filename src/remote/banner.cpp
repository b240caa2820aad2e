#include "remote/banner.h"
// Placeholder until this subsystem lands.
namespace sousuo {} // namespace sousuo
namespace sousuo {
void loadBanner(AppContext&) {}
void openBannerLink(AppContext&) {}
}  // namespace sousuo
