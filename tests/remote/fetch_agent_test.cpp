// The agent that all downloads share: opened once however many threads ask at the same moment,
// and used by overlapping fetches from two threads.

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "remote/curl_fetcher.h"
#include "remote/fetch_agent.h"
#include "remote/fetch_remote_file.h"
#include "fetch_together.h"
#include "test_http_server.h"

namespace sousuo {
namespace {

using testing::Reply;
using testing::TestHttpServer;

TEST(FetchAgent, ThreadsAskingAtTheSameMomentGetOneAgent) {
    FetchAgentSlot slot;
    constexpr int Threads = 8;
    std::latch start(Threads);
    std::vector<FetchAgent*> seen(Threads, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < Threads; ++i) {
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            seen[static_cast<std::size_t>(i)] = slot.get();
        });
    }
    for (auto& thread : threads) thread.join();

    ASSERT_NE(seen[0], nullptr);
    for (FetchAgent* agent : seen) EXPECT_EQ(agent, seen[0]);
    EXPECT_EQ(slot.openings(), 1);
}

// Each reply is held until both requests have arrived, so the two fetches overlap for sure.
TEST(FetchAgent, TwoThreadsFetchingAtTheSameMomentEachGetTheirBodyAndShareOneAgent) {
    TestHttpServer server;
    server.on("/sousuo/sousuo1.jpg", Reply::ok(std::string(30000, 'w')).heldUntilRequests(2));
    server.on("/sousuo/AD.txt", Reply::ok("caption#WZ:https://example.org").heldUntilRequests(2));
    server.on("/sousuo/sousuo2.jpg", Reply::ok(std::string(20000, 'v')).heldUntilRequests(4));
    server.on("/sousuo/banben.txt", Reply::ok("1.0").heldUntilRequests(4));

    // A fresh slot, so that the first opening itself is raced.
    FetchAgentSlot slot;
    std::latch start(2);
    FetchResult windowResult;
    FetchResult workerResult;
    std::thread window([&] {
        start.arrive_and_wait();
        windowResult = fetchRemoteFileWithStatus(server.url("/sousuo/sousuo1.jpg"), slot);
    });
    std::thread worker([&] {
        start.arrive_and_wait();
        workerResult = fetchRemoteFileWithStatus(server.url("/sousuo/AD.txt"), slot);
    });
    window.join();
    worker.join();

    EXPECT_EQ(windowResult.body, Bytes(30000, 'w')) << windowResult.error;
    EXPECT_EQ(workerResult.body, bytesOf("caption#WZ:https://example.org")) << workerResult.error;
    EXPECT_EQ(slot.openings(), 1);

    // The same through the program's fetcher and the process-wide agent.
    CurlFetcher fetcher;
    const auto [windowBody, workerBody] = testing::fetchTogether(
        fetcher, server.url("/sousuo/sousuo2.jpg"), server.url("/sousuo/banben.txt"));
    EXPECT_EQ(windowBody, Bytes(20000, 'v'));
    EXPECT_EQ(workerBody, bytesOf("1.0"));
    EXPECT_TRUE(fetchAgentCreated());
    EXPECT_EQ(processFetchAgentSlot().openings(), 1);
}

}  // namespace
}  // namespace sousuo
