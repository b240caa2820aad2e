// sousuo-fetch: the program's download helper. It reads requests from its standard input and
// answers each on its standard output (both one socket, see helper_protocol.h) until the program
// closes its end.

#include <csignal>
#include <cstdint>
#include <string>

#include "remote/fetch_remote_file.h"
#include "remote/helper_protocol.h"

int main() {
    std::signal(SIGPIPE, SIG_IGN);
    using namespace sousuo;
    for (;;) {
        std::uint32_t size = 0;
        if (!helper::readAll(0, &size, sizeof size) || size > helper::MaxAddressSize) return 0;
        Text address(size, '\0');
        if (!helper::readAll(0, address.data(), address.size())) return 0;
        const Bytes body = fetchRemoteFile(address);
        const std::uint64_t bodySize = body.size();
        if (!helper::writeAll(1, &bodySize, sizeof bodySize) ||
            !helper::writeAll(1, body.data(), body.size())) {
            return 0;
        }
    }
}
