#include "remote/fetch_agent.h"

#include <cstddef>
#include <new>

namespace sousuo {

namespace {

// curl_global_init is process-wide and must succeed once before any handle is made. A failure
// is not remembered, so the next agent opening tries again.
bool setUpCurlOnce() {
    static std::mutex mutex;
    static bool ready = false;
    const std::lock_guard lock(mutex);
    if (!ready) ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

}  // namespace

void FetchAgent::lock(CURL*, curl_lock_data data, curl_lock_access, void* agent) {
    static_cast<FetchAgent*>(agent)->locks_[static_cast<std::size_t>(data)].lock();
}

void FetchAgent::unlock(CURL*, curl_lock_data data, void* agent) {
    static_cast<FetchAgent*>(agent)->locks_[static_cast<std::size_t>(data)].unlock();
}

std::unique_ptr<FetchAgent> FetchAgent::open() {
    if (!setUpCurlOnce()) return nullptr;
    std::unique_ptr<FetchAgent> agent(new (std::nothrow) FetchAgent());
    if (!agent) return nullptr;

    agent->share_.reset(curl_share_init());
    if (!agent->share_) return nullptr;
    CURLSH* share = agent->share_.get();
    if (curl_share_setopt(share, CURLSHOPT_USERDATA, agent.get()) != CURLSHE_OK ||
        curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &FetchAgent::lock) != CURLSHE_OK ||
        curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &FetchAgent::unlock) != CURLSHE_OK ||
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) != CURLSHE_OK ||
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) != CURLSHE_OK) {
        return nullptr;
    }

    agent->headers_.reset(curl_slist_append(nullptr, "Accept: */*"));
    if (!agent->headers_) return nullptr;
    return agent;
}

FetchAgent* FetchAgentSlot::get() {
    if (FetchAgent* agent = agent_.load(std::memory_order_acquire)) return agent;
    const std::lock_guard lock(opening_);
    if (!owned_) {
        owned_ = FetchAgent::open();
        if (!owned_) return nullptr;
        openings_.fetch_add(1, std::memory_order_acq_rel);
        agent_.store(owned_.get(), std::memory_order_release);
    }
    return owned_.get();
}

FetchAgentSlot& processFetchAgentSlot() {
    // Constructed in static storage on first use and never destroyed (see the header).
    alignas(FetchAgentSlot) static std::byte storage[sizeof(FetchAgentSlot)];
    static FetchAgentSlot* const slot = ::new (storage) FetchAgentSlot();
    return *slot;
}

FetchAgent* fetchAgent() { return processFetchAgentSlot().get(); }

bool fetchAgentCreated() { return processFetchAgentSlot().created(); }

}  // namespace sousuo
