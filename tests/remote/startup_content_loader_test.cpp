#include "remote/startup_content_loader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fake_window.h"
#include "remote/curl_fetcher.h"
#include "remote/helper_fetcher.h"
#include "search/results_browser.h"
#include "search/search_command.h"
#include "test_http_server.h"

namespace sousuo {
namespace {

using testing::EventLog;
using testing::FakeApp;
using testing::FakeFetcher;
using testing::Reply;
using testing::TestContentBase;
using testing::TestHttpServer;

const Text Base = TestContentBase;

std::vector<std::string> actions(const FakeApp& app) {
    std::vector<std::string> result;
    for (auto& entry : app.log.entries()) {
        if (entry.rfind("read ", 0) != 0) result.push_back(entry);
    }
    return result;
}

void serveEverything(FakeApp& app) {
    app.fetcher.serve(Base + "/sousuo/sousuo2.jpg", Bytes(2, 0xAA));
    app.fetcher.serve(Base + "/sousuo/huanyuan.jpg", Bytes(3, 0xBB));
    app.fetcher.serve(Base + "/sousuo/guanbi.jpg", Bytes(4, 0xCC));
    app.fetcher.serve(Base + "/sousuo/AD.txt", bytesOf("news#WZ:http://x.test/"));
    app.fetcher.serve(Base + "/sousuo/banben.txt", bytesOf("1.0"));
}

const std::vector<std::string> DisplayModes{
    "write searchButton.11=1",
    "write resetButton.11=1",
    "write closeButton.11=1",
};

TEST(StartupContentLoader, SevenDownloadsAndTheirWritesInOrder) {
    FakeApp app;
    serveEverything(app);
    startupContentLoader(app.context);
    std::vector<std::string> expected = DisplayModes;
    expected.insert(expected.end(), {
                                        "fetch " + Base + "/sousuo/sousuo2.jpg",
                                        "write searchButton.10=2 bytes",
                                        "fetch " + Base + "/sousuo/huanyuan.jpg",
                                        "write resetButton.10=3 bytes",
                                        "fetch " + Base + "/sousuo/guanbi.jpg",
                                        "write closeButton.10=4 bytes",
                                        "fetch " + Base + "/sousuo/AD.txt",
                                        "write bannerLabel.8=news",
                                        "fetch " + Base + "/sousuo/banben.txt",
                                        "fetch " + Base + "/sousuo/xxnr.txt",
                                        "fetch " + Base + "/sousuo/xxbt.txt",
                                    });
    EXPECT_EQ(actions(app), expected);
    EXPECT_EQ(app.window.getBytes(Control::closeButton, prop::picture), Bytes(4, 0xCC));
    EXPECT_EQ(app.context.texts.bannerLink(), "http://x.test/");
}

TEST(StartupContentLoader, DeadServerStillSetsEverythingAndForcesTheUpdate) {
    FakeApp app;
    startupContentLoader(app.context);
    std::vector<std::string> expected = DisplayModes;
    expected.insert(expected.end(), {
                                        "fetch " + Base + "/sousuo/sousuo2.jpg",
                                        "write searchButton.10=0 bytes",
                                        "fetch " + Base + "/sousuo/huanyuan.jpg",
                                        "write resetButton.10=0 bytes",
                                        "fetch " + Base + "/sousuo/guanbi.jpg",
                                        "write closeButton.10=0 bytes",
                                        "fetch " + Base + "/sousuo/AD.txt",
                                        "write bannerLabel.8=",
                                        "fetch " + Base + "/sousuo/banben.txt",
                                        "fetch " + Base + "/sousuo/xxnr.txt",
                                        "fetch " + Base + "/sousuo/xxbt.txt",
                                        "message-box |",
                                        "open " + Base,
                                        "end 0",
                                    });
    EXPECT_EQ(actions(app), expected);
}

TEST(StartupContentLoader, SevenRequestsReachTheServerInOrder) {
    TestHttpServer server;
    server.on("/sousuo/sousuo2.jpg", Reply::ok("search picture"));
    server.on("/sousuo/huanyuan.jpg", Reply::ok("reset picture"));
    // guanbi.jpg is not there: its 404 page is written as it came, and the worker goes on.
    server.on("/sousuo/AD.txt", Reply::ok("\xD0\xC2#WZ:http://x.test/"));
    server.on("/sousuo/banben.txt", Reply::ok("1.0"));

    FakeApp app;
    CurlFetcher fetcher;
    AppContext context(app.window, app.desktop, fetcher);
    context.addresses.contentBaseUrl = server.url();
    // Through the download helper, as the program's worker downloads.
    HelperFetcher helper(SOUSUO_FETCH_HELPER_PATH, fetcher);
    startupContentLoader(context, helper);
    EXPECT_GT(helper.helperProcess(), 0);

    EXPECT_EQ(server.targets(), (std::vector<std::string>{
                                    "/sousuo/sousuo2.jpg",
                                    "/sousuo/huanyuan.jpg",
                                    "/sousuo/guanbi.jpg",
                                    "/sousuo/AD.txt",
                                    "/sousuo/banben.txt",
                                    "/sousuo/xxnr.txt",
                                    "/sousuo/xxbt.txt",
                                }));
    EXPECT_EQ(app.window.getBytes(Control::searchButton, prop::picture), bytesOf("search picture"));
    EXPECT_EQ(app.window.getBytes(Control::resetButton, prop::picture), bytesOf("reset picture"));
    const Bytes closePicture = app.window.getBytes(Control::closeButton, prop::picture);
    EXPECT_NE(std::string(closePicture.begin(), closePicture.end()).find("<"), std::string::npos);
    EXPECT_EQ(app.window.getText(Control::bannerLabel, prop::caption), "\xD0\xC2");
    EXPECT_EQ(context.texts.bannerLink(), "http://x.test/");
    EXPECT_TRUE(app.desktop.endCodes.empty());
}

// A fetcher that lets the test close the window while one download is under way.
class ClosingFetcher : public FakeFetcher {
public:
    using FakeFetcher::FakeFetcher;
    AppContext* context = nullptr;
    Text closeDuring;
    Bytes fetch(const Text& address) override {
        Bytes body = FakeFetcher::fetch(address);
        if (address == closeDuring) context->endInProgress = 1;
        return body;
    }
};

TEST(StartupContentLoader, StopsWithoutFurtherWritesOnceTheProgramIsEnding) {
    const std::string paths[] = {"/sousuo/sousuo2.jpg", "/sousuo/guanbi.jpg", "/sousuo/AD.txt",
                                 "/sousuo/banben.txt", "/sousuo/xxbt.txt"};
    for (const std::string& path : paths) {
        FakeApp app;
        ClosingFetcher fetcher(app.log);
        AppContext context(app.window, app.desktop, fetcher);
        context.addresses = app.context.addresses;
        fetcher.context = &context;
        fetcher.closeDuring = Base + path;
        startupContentLoader(context);
        const auto seen = actions(app);
        EXPECT_EQ(seen.back(), "fetch " + Base + path) << "nothing after the download in hand";
        EXPECT_TRUE(app.desktop.endCodes.empty()) << path;
    }

    FakeApp ended;
    ended.context.endInProgress = 1;
    startupContentLoader(ended.context);
    EXPECT_TRUE(ended.log.entries().empty());
}

// Records which threads downloaded.
class ThreadRecordingFetcher : public FakeFetcher {
public:
    using FakeFetcher::FakeFetcher;
    Bytes fetch(const Text& address) override {
        {
            const std::lock_guard lock(mutex_);
            threads_.insert(std::this_thread::get_id());
        }
        return FakeFetcher::fetch(address);
    }
    std::set<std::thread::id> threads() const {
        const std::lock_guard lock(mutex_);
        return threads_;
    }

private:
    mutable std::mutex mutex_;
    std::set<std::thread::id> threads_;
};

bool waitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(StartStartupWorker, RunsTheLoaderOffTheCallingThread) {
    FakeApp app;
    ThreadRecordingFetcher fetcher(app.log);
    AppContext context(app.window, app.desktop, fetcher);
    context.addresses = app.context.addresses;
    startStartupWorker(context);
    // A dead server ends in the forced update: "end 0" is the worker's last action.
    ASSERT_TRUE(waitFor([&] { return !app.log.matching("end 0").empty(); }))
        << "the worker did not finish";
    EXPECT_EQ(app.log.matching("fetch ").size(), 7u);
    const auto threads = fetcher.threads();
    ASSERT_EQ(threads.size(), 1u);
    EXPECT_NE(*threads.begin(), std::this_thread::get_id());
}

// The worker downloads through the fetcher that openStartupFetcher gives it (the helper process in
// the program) and ends it when it is done; the window's fetcher is not used.
TEST(StartStartupWorker, DownloadsThroughTheFetcherItOpensAndEndsItWhenDone) {
    class OwnFetcher : public Fetcher {
    public:
        OwnFetcher(EventLog& log, std::atomic<bool>& ended) : log_(log), ended_(ended) {}
        ~OwnFetcher() override { ended_ = true; }
        Bytes fetch(const Text& address) override {
            log_.add("own fetch " + address);
            return {};
        }

    private:
        EventLog& log_;
        std::atomic<bool>& ended_;
    };

    FakeApp app;
    std::atomic<bool> ended{false};
    app.context.openStartupFetcher = [&]() -> std::unique_ptr<Fetcher> {
        return std::make_unique<OwnFetcher>(app.log, ended);
    };
    startStartupWorker(app.context);
    ASSERT_TRUE(waitFor([&] { return ended.load(); })) << "the worker did not end its fetcher";
    EXPECT_EQ(app.log.matching("own fetch ").size(), 7u);
    EXPECT_TRUE(app.log.matching("fetch ").empty());
    EXPECT_EQ(app.log.matching("end 0").size(), 1u);
}

// The worker and the window thread download through the shared agent and write searchButton's
// picture at the same time; under ThreadSanitizer this shows that nothing of ours is shared
// without synchronisation. Whichever write comes last stays.
TEST(StartupContentLoader, RunsBesideSearchesOnTheWindowThread) {
    TestHttpServer server;
    server.on("/sousuo/sousuo1.jpg", Reply::ok("busy"));
    server.on("/sousuo/sousuo2.jpg", Reply::ok("normal"));
    server.on("/sousuo/AD.txt", Reply::ok("news#WZ:http://x.test/"));
    server.on("/sousuo/banben.txt", Reply::ok("1.0"));

    FakeApp app;
    CurlFetcher fetcher;
    AppContext context(app.window, app.desktop, fetcher);
    context.addresses.contentBaseUrl = server.url();
    context.addresses.searchUrlPrefix = testing::TestSearchPrefix;
    app.window.set(Control::queryEdit, prop::text, Text("abc"));

    std::thread worker([&context] { startupContentLoader(context); });
    for (int i = 0; i < 20; ++i) {
        runSearch(context);
        onBrowserStatusText(context, "http://a.test/");
        onBrowserNavigateComplete(context);
    }
    worker.join();

    const Bytes picture = app.window.getBytes(Control::searchButton, prop::picture);
    EXPECT_TRUE(picture == bytesOf("normal") || picture == bytesOf("busy"));
    EXPECT_EQ(app.log.matching("write searchButton.10=6 bytes").size(), 21u);
    EXPECT_EQ(app.desktop.navigations.size(), 20u);
    EXPECT_EQ(context.texts.bannerLink(), "http://x.test/");
    EXPECT_TRUE(app.desktop.endCodes.empty());
}

}  // namespace
}  // namespace sousuo
