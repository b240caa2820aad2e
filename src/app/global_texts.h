#pragma once
// The three global texts of the program. Each starts empty, is replaced whole, and is released at
// the end by releaseGlobalTexts.

#include <mutex>

#include "app/text.h"

namespace sousuo {

class GlobalTexts {
public:
    /// The percent-encoded query of the latest search. Window thread only.
    Text encodedQuery;
    /// The latest status text of resultsBrowser. Window thread only.
    Text lastStatusText;

    /// The banner's link: written by the start-up worker, read on the window thread. A reader sees
    /// either the old or the whole new link.
    Text bannerLink() const;
    void setBannerLink(Text link);

    /// Releases the three texts in their order: encodedQuery, lastStatusText, bannerLink.
    void release();

private:
    mutable std::mutex bannerMutex_;
    Text bannerLink_;
};

}  // namespace sousuo
