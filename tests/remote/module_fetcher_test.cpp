// The program downloads through its download module: loaded once on the first download, by
// whichever thread comes first, and failing soft when the module is missing or not ours.

#include <gtest/gtest.h>

#include <string>

#include "remote/module_fetcher.h"
#include "fetch_together.h"
#include "test_http_server.h"

namespace sousuo {
namespace {

using testing::Reply;
using testing::TestHttpServer;

TEST(ModuleFetcher, ThreadsDownloadingAtTheSameMomentLoadTheModuleOnceAndGetTheirBodies) {
    TestHttpServer server;
    server.on("/sousuo/sousuo1.jpg", Reply::ok(std::string(30000, 'w')).heldUntilRequests(2));
    server.on("/sousuo/AD.txt", Reply::ok("caption#WZ:https://example.org").heldUntilRequests(2));

    ModuleFetcher fetcher(SOUSUO_FETCH_MODULE_PATH);
    const auto [windowBody, workerBody] = testing::fetchTogether(
        fetcher, server.url("/sousuo/sousuo1.jpg"), server.url("/sousuo/AD.txt"));

    EXPECT_EQ(windowBody, Bytes(30000, 'w'));
    EXPECT_EQ(workerBody, bytesOf("caption#WZ:https://example.org"));
    EXPECT_TRUE(fetcher.load());
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[0].requestLine.substr(0, 4), "GET ");

    // A failure comes back as the empty buffer, as from fetchRemoteFile itself.
    server.on("/missing", Reply::status(404, ""));
    EXPECT_TRUE(fetcher.fetch(server.url("/missing")).empty());
    EXPECT_TRUE(fetcher.fetch("").empty());
}

TEST(ModuleFetcher, WithoutAUsableModuleEveryDownloadFailsAndNothingIsRequested) {
    TestHttpServer server;
    server.on("/sousuo/AD.txt", Reply::ok("caption"));
    const std::string notAModule = __FILE__;  // a C++ source file, not a shared object
    for (const std::string& path : {std::string("/nonexistent/libsousuo-fetch.so"), notAModule,
                                    std::string()}) {
        SCOPED_TRACE(path);
        ModuleFetcher fetcher(path);
        EXPECT_TRUE(fetcher.fetch(server.url("/sousuo/AD.txt")).empty());
        EXPECT_FALSE(fetcher.load());
    }
    EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace sousuo
