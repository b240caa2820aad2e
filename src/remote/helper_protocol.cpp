#include "remote/helper_protocol.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace sousuo::helper {

bool readAll(int fd, void* data, std::size_t size) {
    auto* at = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, at, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        at += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        // A socket, so that a peer that has gone is an error here and not a SIGPIPE.
        const ssize_t sent = ::send(fd, at, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        at += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

}  // namespace sousuo::helper
