#include "remote/helper_fetcher.h"

#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "remote/helper_protocol.h"

extern char** environ;

namespace sousuo {
namespace {

// posix_spawn's attribute and file-action objects, destroyed with their owner.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    SpawnSetup() { posix_spawn_file_actions_init(&actions); }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    ~SpawnSetup() { posix_spawn_file_actions_destroy(&actions); }
};

}  // namespace

HelperFetcher::~HelperFetcher() {
    const std::lock_guard<std::mutex> hold(busy_);
    endHelper();
}

pid_t HelperFetcher::helperProcess() {
    const std::lock_guard<std::mutex> hold(busy_);
    return helper_;
}

bool HelperFetcher::startHelper() {
    if (helperPath_.empty()) return false;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
    UniqueFd ours(ends[0]);
    UniqueFd theirs(ends[1]);

    // The helper's end becomes its standard input and output; it inherits nothing else.
    SpawnSetup setup;
    if (posix_spawn_file_actions_adddup2(&setup.actions, theirs.get(), STDIN_FILENO) != 0 ||
        posix_spawn_file_actions_adddup2(&setup.actions, theirs.get(), STDOUT_FILENO) != 0 ||
        posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1) != 0) {
        return false;
    }
    char* const argv[] = {const_cast<char*>(helperPath_.c_str()), nullptr};
    pid_t child = -1;
    if (posix_spawn(&child, helperPath_.c_str(), &setup.actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "sousuo: cannot start %s\n", helperPath_.c_str());
        return false;
    }
    socket_ = std::move(ours);
    helper_ = child;
    return true;
}

void HelperFetcher::endHelper() {
    socket_.close();  // the helper's next read sees the end, and it leaves
    if (helper_ > 0) {
        while (::waitpid(helper_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    helper_ = -1;
}

Bytes HelperFetcher::fetch(const Text& address) {
    const std::lock_guard<std::mutex> hold(busy_);
    // The downloads refuse such an address without touching the network; so does the helper's
    // protocol, and the helper need not go for it.
    if (address.size() > helper::MaxAddressSize) return {};
    if (cannotStart_) return fallback_.fetch(address);
    if (!socket_ && !startHelper()) {
        cannotStart_ = true;
        return fallback_.fetch(address);
    }

    Bytes body;
    const auto size = static_cast<std::uint32_t>(address.size());
    std::uint64_t bodySize = 0;
    const bool answered =
        helper::writeAll(socket_.get(), &size, sizeof size) &&
        helper::writeAll(socket_.get(), address.data(), address.size()) &&
        helper::readAll(socket_.get(), &bodySize, sizeof bodySize) && bodySize <= helper::MaxBodySize;
    if (answered) {
        body.resize(bodySize);
        if (helper::readAll(socket_.get(), body.data(), body.size())) return body;
        body.clear();
    }
    // The helper has died or is out of step: this download failed, the next starts a new one.
    endHelper();
    return body;
}

}  // namespace sousuo
