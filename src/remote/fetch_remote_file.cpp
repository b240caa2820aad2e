#include "remote/fetch_remote_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <memory>
#include <new>
#include <string_view>

#include <curl/curl.h>

#include "remote/fetch_limits.h"

namespace sousuo {

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

// One part of a parsed address; nothing when the address has no such part.
std::optional<std::string> urlPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK || text == nullptr) return std::nullopt;
    std::string value(text);
    curl_free(text);
    return value;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// Content-Length as a positive decimal number; 0 when absent, not a number, or 0 or less.
std::size_t parseDeclaredLength(std::string_view value) {
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    std::size_t length = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end == value.data()) return 0;
    return length;
}

// What one transfer gathers; owned by the call.
struct Transfer {
    Bytes body;
    std::size_t declaredLength = 0;  // of the response whose headers came last; 0 when unknown
    bool outOfMemory = false;
    // Stall watch: when a byte last went out or came in, and the counts seen then.
    std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
    curl_off_t lastDownloaded = 0;
    curl_off_t lastUploaded = 0;
    bool stalled = false;
};

// Called for every header line of every response, redirects included.
std::size_t onHeaderLine(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    if (startsWithNoCase(line, "HTTP/")) {
        transfer.declaredLength = 0;  // a new response begins
    } else if (startsWithNoCase(line, "Content-Length:")) {
        transfer.declaredLength = parseDeclaredLength(line.substr(15));
    }
    return size * count;
}

// Called with the final response's body as it arrives. The declared length only sizes the
// buffer (capped); the body is taken to its end however long it is.
std::size_t onBodyBytes(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    try {
        if (transfer.body.capacity() == 0 && transfer.declaredLength > 0) {
            transfer.body.reserve(std::min(transfer.declaredLength, fetch_limits::MaxReserve));
        }
        transfer.body.insert(transfer.body.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        transfer.outOfMemory = true;
        return 0;  // ends the transfer; what arrived so far is kept
    }
    return length;
}

// Called about once a second when nothing moves, more often while bytes flow. Ends the transfer
// when no byte has gone either way for StallTimeout. (libcurl's own low-speed limit averages
// over a window and so reacts seconds later when a body stalls part-way.)
int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    auto& transfer = *static_cast<Transfer*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (downloaded != transfer.lastDownloaded || uploaded != transfer.lastUploaded) {
        transfer.lastDownloaded = downloaded;
        transfer.lastUploaded = uploaded;
        transfer.lastActivity = now;
        return 0;
    }
    if (now - transfer.lastActivity < fetch_limits::StallTimeout) return 0;
    transfer.stalled = true;
    return 1;  // ends the transfer; what arrived so far is kept
}

// Sets every option of the request; false when libcurl refuses one of them.
bool prepareRequest(CURL* easy, const FetchAgent& agent, const AddressParts& parts,
                    Transfer& transfer, char* errorText) {
    const long connectMs = static_cast<long>(fetch_limits::ConnectTimeout.count());

    const CURLcode codes[] = {
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText),
        curl_easy_setopt(easy, CURLOPT_URL, parts.requestUrl.c_str()),
        // Only http and https, also after a redirect.
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"),
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"),
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L),
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)),
        curl_easy_setopt(easy, CURLOPT_USERAGENT, FetchAgent::UserAgent),
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, agent.headers()),
        curl_easy_setopt(easy, CURLOPT_SHARE, agent.share()),
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L),
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, fetch_limits::MaxRedirects),
        // The body ends where the server ends it; Content-Length only sizes the buffer.
        curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L),
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connectMs),
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L),
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &onProgress),
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer),
        // No signals: fetches run on several threads.
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L),
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &onHeaderLine),
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer),
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &onBodyBytes),
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer),
    };
    return std::all_of(std::begin(codes), std::end(codes),
                       [](CURLcode code) { return code == CURLE_OK; });
}

}  // namespace

const char* fetchStatusName(FetchStatus status) {
    switch (status) {
    case FetchStatus::complete: return "complete";
    case FetchStatus::cutShort: return "cutShort";
    case FetchStatus::emptyBody: return "emptyBody";
    case FetchStatus::emptyAddress: return "emptyAddress";
    case FetchStatus::badAddress: return "badAddress";
    case FetchStatus::unsupportedScheme: return "unsupportedScheme";
    case FetchStatus::noAgent: return "noAgent";
    case FetchStatus::failed: return "failed";
    case FetchStatus::timedOut: return "timedOut";
    }
    return "?";
}

std::optional<AddressParts> splitAddress(const Text& address) {
    if (address.find('\0') != Text::npos) return std::nullopt;
    const UrlHandle url(curl_url());
    if (!url) return std::nullopt;
    if (curl_url_set(url.get(), CURLUPART_URL, address.c_str(), CURLU_URLENCODE) != CURLUE_OK) {
        return std::nullopt;
    }
    // The fragment is never sent.
    if (curl_url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK) return std::nullopt;

    AddressParts parts;
    parts.scheme = urlPart(url.get(), CURLUPART_SCHEME).value_or("");
    parts.host = urlPart(url.get(), CURLUPART_HOST).value_or("");
    const std::string port = urlPart(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).value_or("0");
    std::from_chars(port.data(), port.data() + port.size(), parts.port);
    parts.user = urlPart(url.get(), CURLUPART_USER).value_or("");
    parts.password = urlPart(url.get(), CURLUPART_PASSWORD).value_or("");
    parts.pathWithQuery = urlPart(url.get(), CURLUPART_PATH).value_or("/");
    if (const auto query = urlPart(url.get(), CURLUPART_QUERY)) parts.pathWithQuery += "?" + *query;
    const auto requestUrl = urlPart(url.get(), CURLUPART_URL);
    if (!requestUrl) return std::nullopt;
    parts.requestUrl = *requestUrl;

    if (parts.host.size() > fetch_limits::MaxHostLength ||
        parts.pathWithQuery.size() > fetch_limits::MaxPathWithQueryLength ||
        parts.user.size() > fetch_limits::MaxUserOrPasswordLength ||
        parts.password.size() > fetch_limits::MaxUserOrPasswordLength) {
        return std::nullopt;
    }
    return parts;
}

FetchResult fetchRemoteFileWithStatus(const Text& address, FetchAgentSlot& agents) {
    FetchResult result;
    if (address.empty()) {
        result.status = FetchStatus::emptyAddress;
        return result;
    }
    const auto parts = splitAddress(address);
    if (!parts) {
        result.status = FetchStatus::badAddress;
        return result;
    }
    if (parts->scheme != "http" && parts->scheme != "https") {
        result.status = FetchStatus::unsupportedScheme;
        return result;
    }
    FetchAgent* agent = agents.get();
    if (agent == nullptr) {
        result.status = FetchStatus::noAgent;
        return result;
    }

    const EasyHandle easy(curl_easy_init());
    if (!easy) {
        result.error = "no transfer handle";
        return result;
    }
    Transfer transfer;
    char errorText[CURL_ERROR_SIZE] = {};
    if (!prepareRequest(easy.get(), *agent, *parts, transfer, errorText)) {
        result.error = "a request option was refused";
        return result;
    }
    transfer.lastActivity = std::chrono::steady_clock::now();
    const CURLcode code = curl_easy_perform(easy.get());

    result.body = std::move(transfer.body);
    if (code != CURLE_OK) {
        const bool timedOut = code == CURLE_OPERATION_TIMEDOUT || transfer.stalled;
        if (transfer.stalled) {
            result.error =
                "no byte for " + std::to_string(fetch_limits::StallTimeout.count()) + " s";
        } else if (transfer.outOfMemory) {
            result.error = "out of memory";
        } else {
            result.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        }
        if (!result.body.empty()) {
            result.status = FetchStatus::cutShort;
        } else {
            result.status = timedOut ? FetchStatus::timedOut : FetchStatus::failed;
        }
    } else if (result.body.empty()) {
        result.status = FetchStatus::emptyBody;
    } else if (result.body.size() < transfer.declaredLength) {
        // The server closed before the length it announced; the bytes so far are the body.
        result.status = FetchStatus::cutShort;
        result.error = "connection closed after " + std::to_string(result.body.size()) + " of " +
                       std::to_string(transfer.declaredLength) + " bytes";
    } else {
        result.status = FetchStatus::complete;
    }
    return result;
}

Bytes fetchRemoteFile(const Text& address) { return fetchRemoteFileWithStatus(address).body; }

}  // namespace sousuo
