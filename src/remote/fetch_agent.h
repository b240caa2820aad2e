#pragma once
// The HTTP agent that every download shares: libcurl's process set-up and one share handle
// (name look-ups and TLS sessions), together with the request headers that never change.
// Connections are not shared: each fetch opens and closes its own.

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include <curl/curl.h>

namespace sousuo {

/// What the fetches of the process share. Safe for use by several threads at once: libcurl
/// locks the shared data through the locks held here. Once open it is never changed.
class FetchAgent {
public:
    /// The user agent every request names.
    static constexpr const char* UserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

    /// Sets up libcurl for the process (once) and opens a share handle; nullptr on failure.
    static std::unique_ptr<FetchAgent> open();

    FetchAgent(const FetchAgent&) = delete;
    FetchAgent& operator=(const FetchAgent&) = delete;
    ~FetchAgent() = default;

    /// For CURLOPT_SHARE.
    CURLSH* share() const { return share_.get(); }
    /// For CURLOPT_HTTPHEADER: the one extra request header, "Accept: */*".
    curl_slist* headers() const { return headers_.get(); }

private:
    FetchAgent() = default;

    struct ShareDeleter {
        void operator()(CURLSH* share) const { curl_share_cleanup(share); }
    };
    struct ListDeleter {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    static void lock(CURL* handle, curl_lock_data data, curl_lock_access access, void* agent);
    static void unlock(CURL* handle, curl_lock_data data, void* agent);

    // Declared before share_ so that the locks outlive the handle that uses them.
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
    std::unique_ptr<CURLSH, ShareDeleter> share_;
    std::unique_ptr<curl_slist, ListDeleter> headers_;
};

/// Holds at most one agent, opened by the first get(). Two threads asking at the same moment
/// get the same agent; a failed open leaves the slot empty and the next get() tries again.
class FetchAgentSlot {
public:
    /// The agent, opened on first use; nullptr when it cannot be opened. Any thread.
    FetchAgent* get();
    /// Whether an agent has been opened. Any thread.
    bool created() const { return agent_.load(std::memory_order_acquire) != nullptr; }
    /// How many agents this slot has opened: 0 or 1. Any thread.
    int openings() const { return openings_.load(std::memory_order_acquire); }

private:
    std::atomic<FetchAgent*> agent_{nullptr};
    std::atomic<int> openings_{0};
    std::mutex opening_;
    std::unique_ptr<FetchAgent> owned_;
};

/// The process-wide slot. It is never destroyed: the start-up worker may still be inside a fetch
/// when the process ends, so the agent lives until the process is gone.
FetchAgentSlot& processFetchAgentSlot();

/// The process-wide agent, opened on first use; nullptr when it cannot be opened. Any thread.
FetchAgent* fetchAgent();

/// Whether the process-wide agent has been opened (for tests and logs). Any thread.
bool fetchAgentCreated();

}  // namespace sousuo
