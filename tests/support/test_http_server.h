#pragma once
// A loopback HTTP server for tests. It listens on 127.0.0.1 on a port the OS picks, serves from
// its own thread until it is destroyed, answers each path with a scripted reply (including the
// faults a download must survive), and logs every request exactly as it arrived.
//
//   TestHttpServer server;
//   server.on("/sousuo/AD.txt", Reply::ok("caption#WZ:https://example.org"));
//   server.on("/slow", Reply::silence());
//   Bytes body = fetchRemoteFile(server.url("/sousuo/AD.txt"));
//   server.requests()[0].requestLine;  // "GET /sousuo/AD.txt HTTP/1.0"
//
// Requests for a path with no reply get a 404 with a small HTML page. Connections are handled
// together (one thread, poll), so a silent or held reply does not block other requests.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sousuo::testing {

/// What the server sends for one request: some bytes, then it closes the connection or goes
/// silent. Every reply speaks HTTP/1.0 and closes after its body unless it stalls.
class Reply {
public:
    /// 200 with Content-Length and the body.
    static Reply ok(std::string body, std::string_view contentType = "application/octet-stream");
    /// 200 without Content-Length: the body, then the connection closes.
    static Reply okWithoutLength(std::string body,
                                 std::string_view contentType = "application/octet-stream");
    /// Any status with Content-Length and a body, e.g. status(404, "<html>...</html>").
    static Reply status(int code, std::string body,
                        std::string_view contentType = "text/html; charset=utf-8");
    /// A redirect (302 unless told) to location, an absolute address or a path.
    static Reply redirect(std::string_view location, int code = 302);
    /// Announces the whole body's length, sends its first `sent` bytes, then closes.
    static Reply dropAfter(std::string body, std::size_t sent);
    /// Announces the whole body's length, sends its first `sent` bytes, then says nothing more
    /// (the connection stays open until the client gives up or the server stops).
    static Reply stallAfter(std::string body, std::size_t sent);
    /// Reads the request and then says nothing at all.
    static Reply silence();
    /// Exactly these bytes (status line and headers included), then a close.
    static Reply raw(std::string bytes);

    /// Holds this reply back until the server has received `count` requests in all (any path),
    /// so that a test can prove several requests were in flight at the same time.
    Reply& heldUntilRequests(std::size_t count);

private:
    friend class TestHttpServer;
    std::string bytes_;
    bool silentAfter_ = false;
    std::size_t holdUntil_ = 0;
};

/// One request as the server received it.
struct ReceivedRequest {
    /// Every byte up to and including the blank line, or all that arrived when incomplete.
    std::string raw;
    /// The first line without its CR LF, e.g. "GET /a?b HTTP/1.0".
    std::string requestLine;
    /// The second word of the request line, e.g. "/a?b".
    std::string target;
    /// The header lines in order, without their CR LF, e.g. "Host: 127.0.0.1:40000".
    std::vector<std::string> headerLines;
    /// False when the connection ended, or did not speak HTTP, before the blank line.
    bool complete = false;

    /// The value of the first header of that name (any case), without leading blanks.
    std::optional<std::string> header(std::string_view name) const;
};

class TestHttpServer {
public:
    /// Starts listening and serving. Throws std::runtime_error when the socket cannot be made.
    TestHttpServer();
    /// Stops serving, closes every connection (silent ones included) and joins the thread.
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    std::uint16_t port() const { return port_; }
    /// "http://127.0.0.1:<port>" followed by target (a path, with its query if any).
    std::string url(std::string_view target = {}) const;

    /// Answers requests for target with reply, replacing an earlier one. A target with a "?"
    /// matches only that exact target; one without matches its path whatever query follows.
    /// Any thread, also while requests are being served.
    void on(std::string target, Reply reply);

    /// Every request received so far, in order of arrival. Any thread.
    std::vector<ReceivedRequest> requests() const;
    /// The targets of requests(), in order.
    std::vector<std::string> targets() const;
    /// Waits until at least count requests have arrived; false when the time-out passed first.
    bool waitForRequests(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    /// The most connections one server accepts; later ones wait unaccepted.
    static constexpr std::size_t MaxConnections = 10000;

private:
    struct Connection;

    void serve();
    Reply replyFor(const std::string& target) const;
    void record(ReceivedRequest request);
    std::size_t requestCount() const;

    int listenFd_ = -1;
    int wakeFd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::map<std::string, Reply> replies_;
    std::vector<ReceivedRequest> requests_;

    std::thread thread_;
};

}  // namespace sousuo::testing
