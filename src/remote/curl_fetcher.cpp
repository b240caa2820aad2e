#include "remote/curl_fetcher.h"

#include "remote/fetch_remote_file.h"

namespace sousuo {

Bytes CurlFetcher::fetch(const Text& address) { return fetchRemoteFile(address); }

}  // namespace sousuo
