// The start-up worker downloads through a helper process: bodies come back whole and in order,
// the helper ends with its owner, and a helper that cannot start, dies or talks nonsense costs
// a failed download, never a hang or the program.

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <string>

#include "fake_window.h"
#include "remote/helper_fetcher.h"
#include "test_http_server.h"

namespace sousuo {
namespace {

using testing::EventLog;
using testing::FakeFetcher;
using testing::Reply;
using testing::TestHttpServer;

bool processGone(pid_t process) { return ::kill(process, 0) != 0 && errno == ESRCH; }

TEST(HelperFetcher, DownloadsInOneHelperThatEndsWithItsOwner) {
    TestHttpServer server;
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7);
    server.on("/sousuo/sousuo2.jpg", Reply::ok(large));
    server.on("/sousuo/AD.txt", Reply::ok("caption#WZ:https://example.org"));
    server.on("/sousuo/banben.txt", Reply::status(404, "<html>not here</html>"));

    EventLog log;
    FakeFetcher fallback(log);
    pid_t helper = -1;
    {
        HelperFetcher fetcher(SOUSUO_FETCH_HELPER_PATH, fallback);
        EXPECT_EQ(fetcher.fetch(server.url("/sousuo/sousuo2.jpg")), bytesOf(large));
        helper = fetcher.helperProcess();
        ASSERT_GT(helper, 0);
        EXPECT_EQ(fetcher.fetch(server.url("/sousuo/AD.txt")),
                  bytesOf("caption#WZ:https://example.org"));
        // An error page is the file; a refused connection is the empty buffer.
        EXPECT_EQ(fetcher.fetch(server.url("/sousuo/banben.txt")), bytesOf("<html>not here</html>"));
        EXPECT_TRUE(fetcher.fetch("http://127.0.0.1:1/sousuo/AD.txt").empty());
        EXPECT_TRUE(fetcher.fetch("").empty());
        EXPECT_EQ(fetcher.helperProcess(), helper);  // one helper for all of them
    }
    EXPECT_TRUE(processGone(helper));  // ended and waited for
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST(HelperFetcher, WithoutAHelperTheFallbackDownloads) {
    EventLog log;
    FakeFetcher fallback(log);
    fallback.serve("http://content.test/sousuo/AD.txt", bytesOf("caption"));
    for (const std::string& path : {std::string("/nonexistent/sousuo-fetch"), std::string()}) {
        SCOPED_TRACE(path);
        HelperFetcher fetcher(path, fallback);
        EXPECT_EQ(fetcher.fetch("http://content.test/sousuo/AD.txt"), bytesOf("caption"));
        EXPECT_EQ(fetcher.helperProcess(), -1);
    }
}

TEST(HelperFetcher, AHelperThatDiesOrTalksNonsenseFailsThatDownloadOnly) {
    TestHttpServer server;
    server.on("/sousuo/AD.txt", Reply::ok("caption"));
    EventLog log;
    FakeFetcher fallback(log);
    // true leaves at once; cat echoes the request, which is no answer.
    for (const char* helper : {"/bin/true", "/bin/cat"}) {
        SCOPED_TRACE(helper);
        HelperFetcher fetcher(helper, fallback);
        EXPECT_TRUE(fetcher.fetch(server.url("/sousuo/AD.txt")).empty());
        EXPECT_EQ(fetcher.helperProcess(), -1);  // ended and waited for
        EXPECT_TRUE(fetcher.fetch(server.url("/sousuo/AD.txt")).empty());  // a new one, as bad
    }
    EXPECT_TRUE(log.entries().empty());  // a helper that starts is not replaced by the fallback
    EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace sousuo
