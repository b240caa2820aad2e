#pragma once
// The one download operation of sousuo: GET one http or https address and hand back the body.

#include <optional>
#include <string>

#include "app/text.h"
#include "remote/fetch_agent.h"

namespace sousuo {

/// How a fetch ended. Callers use only the body; the status is there for tests and logs.
enum class FetchStatus {
    complete,           ///< the body was read to its end
    cutShort,           ///< the transfer failed after some bytes; those bytes are the body
    emptyBody,          ///< the response ended without a body byte
    emptyAddress,       ///< nothing to fetch: no agent opened, no network touched
    badAddress,         ///< the address cannot be split, or a part is too long; no network touched
    unsupportedScheme,  ///< neither http nor https; no network touched
    noAgent,            ///< the agent could not be opened; the next fetch tries again
    failed,             ///< no byte arrived: refused, unreachable, TLS refused, no response
    timedOut,           ///< no byte arrived before a time-out (fetch_limits.h)
};

const char* fetchStatusName(FetchStatus status);

struct FetchResult {
    Bytes body;
    FetchStatus status = FetchStatus::failed;
    /// libcurl's explanation when the transfer failed, otherwise empty.
    std::string error;
};

/// The parts of an address as the request will use them.
struct AddressParts {
    std::string scheme;  ///< lower case
    std::string host;
    int port = 0;  ///< the scheme's default when the address names none
    std::string user;
    std::string password;
    std::string pathWithQuery;  ///< what goes on the request line: no fragment
    std::string requestUrl;     ///< the whole address without its fragment
};

/// Splits an absolute address. Unsafe bytes (spaces, bytes of 0x80 and above) in the path and
/// query are percent-encoded; the fragment is dropped. Nothing when the address cannot be split
/// or one of its parts is longer than fetch_limits.h allows. Touches no network. Any thread.
std::optional<AddressParts> splitAddress(const Text& address);

/// Downloads the address with GET over HTTP/1.0 and returns the whole body, whatever the status:
/// an error page comes back as the file. Redirects are followed; the body is read until the
/// server ends it, whatever Content-Length says; bytes received before a failure are kept.
/// The empty buffer is the only failure value. Blocks the calling thread for the download, at
/// most for the time-outs of fetch_limits.h when the server stalls. Any thread, at the same time.
Bytes fetchRemoteFile(const Text& address);

/// fetchRemoteFile with the reason of the outcome, using the agent of the given slot.
FetchResult fetchRemoteFileWithStatus(const Text& address,
                                      FetchAgentSlot& agents = processFetchAgentSlot());

}  // namespace sousuo
