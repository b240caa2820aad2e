#include "test_http_server.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sousuo::testing {

namespace {

// Owns one file descriptor.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// A request larger than this is not HTTP that any test sends; the connection is dropped.
constexpr std::size_t MaxRequestBytes = 1 << 20;

std::string reasonPhrase(int code) {
    switch (code) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

std::string responseHead(int code, std::string_view contentType,
                         std::optional<std::size_t> contentLength, std::string_view extra = {}) {
    std::string head = "HTTP/1.0 " + std::to_string(code) + " " + reasonPhrase(code) + "\r\n";
    head += "Content-Type: " + std::string(contentType) + "\r\n";
    if (contentLength) head += "Content-Length: " + std::to_string(*contentLength) + "\r\n";
    head += extra;
    head += "Connection: close\r\n\r\n";
    return head;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

ReceivedRequest parseRequest(std::string raw, bool complete) {
    ReceivedRequest request;
    request.complete = complete;
    std::size_t lineStart = 0;
    bool first = true;
    while (lineStart < raw.size()) {
        const std::size_t lineEnd = raw.find("\r\n", lineStart);
        if (lineEnd == std::string::npos || lineEnd == lineStart) break;
        std::string line = raw.substr(lineStart, lineEnd - lineStart);
        if (first) {
            request.requestLine = line;
            const std::size_t space = line.find(' ');
            if (space != std::string::npos) {
                const std::size_t next = line.find(' ', space + 1);
                request.target = line.substr(
                    space + 1, next == std::string::npos ? std::string::npos : next - space - 1);
            }
            first = false;
        } else {
            request.headerLines.push_back(std::move(line));
        }
        lineStart = lineEnd + 2;
    }
    request.raw = std::move(raw);
    return request;
}

}  // namespace

std::optional<std::string> ReceivedRequest::header(std::string_view name) const {
    for (const std::string& line : headerLines) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos ||
            !equalNoCase(std::string_view(line).substr(0, colon), name)) {
            continue;
        }
        const std::size_t value = line.find_first_not_of(" \t", colon + 1);
        return value == std::string::npos ? std::string() : line.substr(value);
    }
    return std::nullopt;
}

Reply Reply::ok(std::string body, std::string_view contentType) {
    return status(200, std::move(body), contentType);
}

Reply Reply::okWithoutLength(std::string body, std::string_view contentType) {
    return raw(responseHead(200, contentType, std::nullopt) + body);
}

Reply Reply::status(int code, std::string body, std::string_view contentType) {
    return raw(responseHead(code, contentType, body.size()) + body);
}

Reply Reply::redirect(std::string_view location, int code) {
    const std::string body = "<html><body>moved</body></html>";
    return raw(responseHead(code, "text/html", body.size(),
                            "Location: " + std::string(location) + "\r\n") +
               body);
}

Reply Reply::dropAfter(std::string body, std::size_t sent) {
    return raw(responseHead(200, "application/octet-stream", body.size()) +
               body.substr(0, std::min(sent, body.size())));
}

Reply Reply::stallAfter(std::string body, std::size_t sent) {
    Reply reply = dropAfter(std::move(body), sent);
    reply.silentAfter_ = true;
    return reply;
}

Reply Reply::silence() {
    Reply reply;
    reply.silentAfter_ = true;
    return reply;
}

Reply Reply::raw(std::string bytes) {
    Reply reply;
    reply.bytes_ = std::move(bytes);
    return reply;
}

Reply& Reply::heldUntilRequests(std::size_t count) {
    holdUntil_ = count;
    return *this;
}

struct TestHttpServer::Connection {
    enum class State { reading, held, writing, silent, closed };

    explicit Connection(int descriptor) : fd(descriptor) {}

    UniqueFd fd;
    State state = State::reading;
    std::string received;
    std::string out;
    std::size_t sent = 0;
    bool silentAfter = false;
    std::size_t holdUntil = 0;
};

TestHttpServer::TestHttpServer() {
    UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (listener.get() < 0) throw std::runtime_error("test server: socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;  // the OS picks the port
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.get(), 64) != 0) {
        throw std::runtime_error("test server: cannot listen on 127.0.0.1");
    }
    socklen_t length = sizeof address;
    if (::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("test server: getsockname failed");
    }
    UniqueFd wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (wake.get() < 0) throw std::runtime_error("test server: eventfd failed");

    port_ = ntohs(address.sin_port);
    listenFd_ = listener.release();
    wakeFd_ = wake.release();
    thread_ = std::thread([this] { serve(); });
}

TestHttpServer::~TestHttpServer() {
    stopping_.store(true);
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
    thread_.join();
    ::close(listenFd_);
    ::close(wakeFd_);
}

std::string TestHttpServer::url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

void TestHttpServer::on(std::string target, Reply reply) {
    const std::lock_guard lock(mutex_);
    replies_.insert_or_assign(std::move(target), std::move(reply));
}

std::vector<ReceivedRequest> TestHttpServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> TestHttpServer::targets() const {
    std::vector<std::string> result;
    for (const ReceivedRequest& request : requests()) result.push_back(request.target);
    return result;
}

bool TestHttpServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

Reply TestHttpServer::replyFor(const std::string& target) const {
    const std::lock_guard lock(mutex_);
    if (const auto exact = replies_.find(target); exact != replies_.end()) return exact->second;
    const std::string path = target.substr(0, target.find('?'));
    if (const auto byPath = replies_.find(path); byPath != replies_.end()) return byPath->second;
    return Reply::status(404,
                         "<html><head><title>404 Not Found</title></head>"
                         "<body><h1>Not Found</h1></body></html>");
}

void TestHttpServer::record(ReceivedRequest request) {
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    arrived_.notify_all();
}

std::size_t TestHttpServer::requestCount() const {
    const std::lock_guard lock(mutex_);
    return requests_.size();
}

// The serving loop: one poll over the wake-up descriptor, the listener and every connection.
// It ends when the destructor wakes it; connections close with it.
void TestHttpServer::serve() {
    using State = Connection::State;
    std::vector<std::unique_ptr<Connection>> connections;
    std::size_t accepted = 0;
    std::vector<pollfd> polled;

    while (!stopping_.load()) {
        polled.clear();
        polled.push_back({wakeFd_, POLLIN, 0});
        polled.push_back({accepted < MaxConnections ? listenFd_ : -1, POLLIN, 0});
        for (const auto& connection : connections) {
            const short events = connection->state == State::writing ? POLLOUT : POLLIN;
            polled.push_back({connection->fd.get(), events, 0});
        }
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (polled[0].revents != 0) break;

        // Poll entries 2.. belong to the connections that existed before this round.
        for (std::size_t i = 0; i < connections.size(); ++i) {
            Connection& connection = *connections[i];
            if (polled[i + 2].revents == 0) continue;
            char buffer[65536];

            if (connection.state == State::writing) {
                while (connection.sent < connection.out.size()) {
                    const ssize_t n =
                        ::send(connection.fd.get(), connection.out.data() + connection.sent,
                               connection.out.size() - connection.sent, MSG_NOSIGNAL);
                    if (n > 0) {
                        connection.sent += static_cast<std::size_t>(n);
                    } else {
                        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
                        connection.state = State::closed;
                        break;
                    }
                }
                if (connection.state == State::writing &&
                    connection.sent == connection.out.size()) {
                    connection.state = connection.silentAfter ? State::silent : State::closed;
                }
                continue;
            }

            // reading, held or silent: take what the client sends; notice when it gives up.
            for (;;) {
                const ssize_t n = ::recv(connection.fd.get(), buffer, sizeof buffer, 0);
                if (n > 0) {
                    if (connection.state == State::reading) {
                        connection.received.append(buffer, static_cast<std::size_t>(n));
                    }
                    continue;
                }
                if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
                if (connection.state == State::reading && !connection.received.empty()) {
                    record(parseRequest(std::move(connection.received), false));
                }
                connection.state = State::closed;
                break;
            }
            if (connection.state != State::reading || connection.received.empty()) continue;

            const auto first = static_cast<unsigned char>(connection.received.front());
            const std::size_t end = connection.received.find("\r\n\r\n");
            if (!std::isupper(first) || connection.received.size() > MaxRequestBytes) {
                // Not HTTP (a TLS hand-shake, say): log what came and hang up.
                record(parseRequest(std::move(connection.received), false));
                connection.state = State::closed;
            } else if (end != std::string::npos) {
                ReceivedRequest request =
                    parseRequest(connection.received.substr(0, end + 4), true);
                const Reply reply = replyFor(request.target);
                record(std::move(request));
                connection.out = reply.bytes_;
                connection.silentAfter = reply.silentAfter_;
                connection.holdUntil = reply.holdUntil_;
                connection.state = State::held;
            }
        }

        // Held replies go out once enough requests have arrived.
        const std::size_t requestsSoFar = requestCount();
        for (const auto& connection : connections) {
            if (connection->state == State::held && requestsSoFar >= connection->holdUntil) {
                connection->state = State::writing;
            }
        }
        std::erase_if(connections, [](const auto& c) { return c->state == State::closed; });

        if (polled[1].revents != 0) {
            while (accepted < MaxConnections) {
                const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd < 0) break;
                ++accepted;
                connections.push_back(std::make_unique<Connection>(fd));
            }
        }
    }
}

}  // namespace sousuo::testing
