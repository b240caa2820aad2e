// The download operation against a loopback server: the request on the wire, the result rules
// and failures as one table, the time-outs with stalling servers, and TLS for https.

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "remote/fetch_limits.h"
#include "remote/fetch_remote_file.h"
#include "test_http_server.h"

namespace sousuo {
namespace {

using testing::Reply;
using testing::TestHttpServer;

constexpr const char* UserAgentLine =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// n bytes running through every byte value, zero included.
std::string patternBytes(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) % 256);
    return bytes;
}

std::string asString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A loopback port on which nothing listens.
int closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ::close(fd);
    return ntohs(address.sin_port);
}

TEST(FetchRequest, GoesOnTheWireAsGetHttp10WithHostUserAgentAndAcceptOnly) {
    TestHttpServer server;
    server.on("/sousuo/AD.txt?a=1&b=x", Reply::ok("banner"));
    server.on("/old", Reply::raw("HTTP/1.0 302 Found\r\nLocation: /sousuo/AD.txt?a=1&b=x\r\n"
                                 "Set-Cookie: session=1; Path=/\r\nContent-Length: 0\r\n\r\n"));

    // The fragment is cut at its first '#', the query stays.
    EXPECT_EQ(asString(fetchRemoteFile(server.url("/sousuo/AD.txt?a=1&b=x#part#more"))), "banner");
    // A redirect's second request is the same request: no referrer, and no cookie even though
    // the redirect set one.
    EXPECT_EQ(asString(fetchRemoteFile(server.url("/old"))), "banner");

    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port());
    const std::vector<std::string> expectedHeaders = {"Accept: */*", host, UserAgentLine};
    const std::vector<std::string> expectedLines = {"GET /sousuo/AD.txt?a=1&b=x HTTP/1.0",
                                                    "GET /old HTTP/1.0",
                                                    "GET /sousuo/AD.txt?a=1&b=x HTTP/1.0"};
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), expectedLines.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        SCOPED_TRACE(requests[i].raw);
        EXPECT_TRUE(requests[i].complete);
        EXPECT_EQ(requests[i].requestLine, expectedLines[i]);
        auto headers = requests[i].headerLines;
        std::sort(headers.begin(), headers.end());
        EXPECT_EQ(headers, expectedHeaders);
        // Nothing else on the wire: CR LF after every line, one blank line at the end.
        std::string rebuilt = requests[i].requestLine + "\r\n";
        for (const auto& line : requests[i].headerLines) rebuilt += line + "\r\n";
        EXPECT_EQ(requests[i].raw, rebuilt + "\r\n");
    }
}

TEST(FetchRequest, UnsafeBytesInThePathArePercentEncoded) {
    TestHttpServer server;
    fetchRemoteFile(server.url("/a b/\xCB\xD1.txt"));
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].requestLine, "GET /a%20b/%cb%d1.txt HTTP/1.0");
}

// What one fetch must give: the body, the outcome, how many requests reached the server, and
// whether an agent was opened.
struct Expected {
    std::string body;
    FetchStatus status;
    std::size_t requests;
    bool opensAgent;
    std::optional<FetchStatus> orStatus = {};  // also accepted (depends on the machine's network)
};

// One row of the result rules and the failure table.
struct FetchCase {
    const char* name;
    std::function<void(TestHttpServer&)> script;  // the server's replies
    std::function<std::string(const TestHttpServer&)> address;
    Expected expected;
};

std::function<std::string(const TestHttpServer&)> at(std::string target) {
    return [target](const TestHttpServer& server) { return server.url(target); };
}

std::function<std::string(const TestHttpServer&)> literally(std::string address) {
    return [address](const TestHttpServer&) { return address; };
}

std::function<std::string(const TestHttpServer&)> withUser(std::size_t userLength,
                                                           std::size_t passwordLength) {
    return [=](const TestHttpServer& server) {
        return "http://" + std::string(userLength, 'u') + ":" + std::string(passwordLength, 'p') +
               "@127.0.0.1:" + std::to_string(server.port()) + "/p";
    };
}

std::function<std::string(const TestHttpServer&)> closedLoopbackPort() {
    return [](const TestHttpServer&) {
        return "http://127.0.0.1:" + std::to_string(closedPort()) + "/f";
    };
}

std::function<void(TestHttpServer&)> serve(std::string target, Reply reply) {
    return [=](TestHttpServer& server) { server.on(target, reply); };
}

void nothing(TestHttpServer&) {}

const std::string LongQuery2048 = "/p?" + std::string(2048 - 3, 'q');
const std::string NotFoundPage = "<html><body><h1>404</h1>no such file</body></html>";
constexpr auto Complete = FetchStatus::complete;
constexpr auto Failed = FetchStatus::failed;
constexpr auto BadAddress = FetchStatus::badAddress;

// clang-format off
const FetchCase FetchCases[] = {
    // Result rules: the body whatever the status, read to its end, redirects followed.
    {"BodyWithContentLength", serve("/f", Reply::ok("hello")), at("/f"),
     {"hello", Complete, 1, true}},
    {"BodyWithoutContentLengthReadToItsEnd",
     serve("/f", Reply::okWithoutLength(patternBytes(25000))), at("/f"),
     {patternBytes(25000), Complete, 1, true}},
    {"BodyLongerThanItsContentLengthReadToItsEnd",
     serve("/f", Reply::raw("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello, world")), at("/f"),
     {"hello, world", Complete, 1, true}},
    {"Body500000BytesWhole", serve("/f", Reply::ok(patternBytes(500000))), at("/f"),
     {patternBytes(500000), Complete, 1, true}},
    {"NotFoundPageIsTheFile", serve("/f", Reply::status(404, NotFoundPage)), at("/f"),
     {NotFoundPage, Complete, 1, true}},
    {"ServerErrorPageIsTheFile", serve("/f", Reply::status(500, "oops")), at("/f"),
     {"oops", Complete, 1, true}},
    {"RedirectsFollowedToTheFinalBody",
     [](TestHttpServer& s) {
         s.on("/old", Reply::redirect("/middle", 301));
         s.on("/middle", Reply::redirect(s.url("/new"), 307));
         s.on("/new", Reply::ok("final"));
     },
     at("/old"), {"final", Complete, 3, true}},
    {"RedirectLoopEnds", serve("/loop", Reply::redirect("/loop")), at("/loop"),
     {"", Failed, fetch_limits::MaxRedirects + 1, true}},
    {"RedirectToOtherSchemeRefused", serve("/f", Reply::redirect("file:///etc/hostname")), at("/f"),
     {"", Failed, 1, true}},
    {"DropAfter4000Of9000KeepsThe4000", serve("/f", Reply::dropAfter(patternBytes(9000), 4000)),
     at("/f"), {patternBytes(4000), FetchStatus::cutShort, 1, true}},
    {"BodyOfZeroBytesIsEmpty", serve("/f", Reply::ok("")), at("/f"),
     {"", FetchStatus::emptyBody, 1, true}},
    {"ResponseThatIsNotHttpIsEmpty", serve("/f", Reply::raw("just bytes")), at("/f"),
     {"", Failed, 1, true}},

    // Addresses refused before any agent or network is used.
    {"EmptyAddressOpensNoAgent", nothing, literally(""), {"", FetchStatus::emptyAddress, 0, false}},
    {"AddressThatCannotBeSplit", nothing, literally("not an address"), {"", BadAddress, 0, false}},
    {"AddressWithoutHost", nothing, literally("http://"), {"", BadAddress, 0, false}},
    {"HostOver256", nothing, literally("http://" + std::string(257, 'h') + "/f"),
     {"", BadAddress, 0, false}},
    {"PathWithQueryOf2048Sent", serve("/p", Reply::ok("long")), at(LongQuery2048),
     {"long", Complete, 1, true}},
    {"PathWithQueryOver2048", nothing, at(LongQuery2048 + "q"), {"", BadAddress, 0, false}},
    {"UserAndPasswordOf128Sent", serve("/p", Reply::ok("in")), withUser(128, 128),
     {"in", Complete, 1, true}},
    {"UserOver128", nothing, withUser(129, 1), {"", BadAddress, 0, false}},
    {"PasswordOver128", nothing, withUser(1, 129), {"", BadAddress, 0, false}},
    {"FtpScheme", nothing, literally("ftp://127.0.0.1/sousuo/AD.txt"),
     {"", FetchStatus::unsupportedScheme, 0, false}},
    {"FileScheme", nothing, literally("file:///etc/hostname"),
     {"", FetchStatus::unsupportedScheme, 0, false}},

    // Servers that cannot be reached.
    {"ConnectionRefused", nothing, closedLoopbackPort(), {"", Failed, 0, true}},
    // RFC 6761 keeps ".invalid" unresolvable; without a name server the look-up may time out.
    {"HostThatCannotBeReached", nothing, literally("http://sousuo.invalid/f"),
     {"", Failed, 0, true, FetchStatus::timedOut}},
};
// clang-format on

class FetchTable : public ::testing::TestWithParam<FetchCase> {};

TEST_P(FetchTable, ReturnsTheBodyOrTheEmptyBuffer) {
    const FetchCase& row = GetParam();
    const Expected& expected = row.expected;
    TestHttpServer server;
    row.script(server);
    FetchAgentSlot agents;  // a fresh slot shows whether this fetch opened an agent

    const FetchResult result = fetchRemoteFileWithStatus(row.address(server), agents);

    EXPECT_TRUE(asString(result.body) == expected.body)
        << "got " << result.body.size() << " bytes, want " << expected.body.size();
    if (result.status != expected.orStatus) {
        EXPECT_EQ(fetchStatusName(result.status), std::string(fetchStatusName(expected.status)))
            << result.error;
    }
    EXPECT_EQ(server.requests().size(), expected.requests);
    EXPECT_EQ(agents.created(), expected.opensAgent);
}

INSTANTIATE_TEST_SUITE_P(ResultsAndFailures, FetchTable, ::testing::ValuesIn(FetchCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FetchAddress, HttpsUsesPort443UnlessTheAddressNamesOne) {
    const struct {
        const char* address;
        const char* scheme;
        int port;
    } rows[] = {
        {"https://example.org/sousuo/AD.txt", "https", 443},
        {"HTTPS://example.org:8443/sousuo/AD.txt", "https", 8443},
        {"http://example.org/sousuo/AD.txt", "http", 80},
        {"http://example.org:8731/sousuo/AD.txt", "http", 8731},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address);
        const auto parts = splitAddress(row.address);
        ASSERT_TRUE(parts.has_value());
        EXPECT_EQ(parts->scheme, row.scheme);
        EXPECT_EQ(parts->port, row.port);
        EXPECT_EQ(parts->pathWithQuery, "/sousuo/AD.txt");
    }
}

TEST(FetchAddress, HttpsSpeaksTlsOnTheNamedPort) {
    TestHttpServer server;
    server.on("/f", Reply::ok("plain"));
    const std::string address = "https://127.0.0.1:" + std::to_string(server.port()) + "/f";

    const FetchResult result = fetchRemoteFileWithStatus(address);

    // The plain server hangs up on the TLS hand-shake, so nothing comes back.
    EXPECT_TRUE(result.body.empty());
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string hello = server.requests()[0].raw;
    ASSERT_GE(hello.size(), 3u);
    EXPECT_EQ(hello[0], '\x16') << "a TLS hand-shake record";
    EXPECT_EQ(hello[1], '\x03');
}

// The time-outs are what end these fetches: the servers never close on their own. The test only
// asserts that each call comes back, well before its own watchdog, with what had arrived.
TEST(FetchTimeouts, StalledServersReleaseTheCallingThread) {
    constexpr auto Watchdog = std::chrono::seconds(30);
    static_assert(Watchdog > 2 * (fetch_limits::ConnectTimeout + fetch_limits::StallTimeout));
    std::optional<TestHttpServer> server(std::in_place);
    server->on("/silent", Reply::silence());
    server->on("/stalls", Reply::stallAfter(patternBytes(9000), 4000));

    auto silent = std::async(std::launch::async, fetchRemoteFileWithStatus, server->url("/silent"),
                             std::ref(processFetchAgentSlot()));
    auto stalls = std::async(std::launch::async, fetchRemoteFileWithStatus, server->url("/stalls"),
                             std::ref(processFetchAgentSlot()));
    const bool returned = silent.wait_for(Watchdog) == std::future_status::ready &&
                          stalls.wait_for(Watchdog) == std::future_status::ready;
    if (!returned) server.reset();  // closing the connections lets the fetches end
    ASSERT_TRUE(returned) << "a fetch was still held after the watchdog";

    const FetchResult silentResult = silent.get();
    EXPECT_TRUE(silentResult.body.empty());
    EXPECT_EQ(fetchStatusName(silentResult.status), std::string("timedOut")) << silentResult.error;

    const FetchResult stallsResult = stalls.get();
    EXPECT_TRUE(asString(stallsResult.body) == patternBytes(4000));
    EXPECT_EQ(fetchStatusName(stallsResult.status), std::string("cutShort")) << stallsResult.error;
}

}  // namespace
}  // namespace sousuo
