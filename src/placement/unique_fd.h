#pragma once
// A file descriptor with one owner: closed when the owner goes.

#include <unistd.h>

#include <utility>

namespace sousuo {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    /// Closes now and tells whether the close succeeded (a late write error shows up here).
    bool close() {
        if (fd_ < 0) return true;
        return ::close(std::exchange(fd_, -1)) == 0;
    }

private:
    void reset() {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    }

    int fd_ = -1;
};

}  // namespace sousuo
