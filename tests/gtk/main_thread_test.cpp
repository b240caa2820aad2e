// The hand-off from other threads to the window thread, on a real GLib main loop. Its suite name
// says it crosses threads, so it also runs under ThreadSanitizer.

#include <gtest/gtest.h>
#include <glib.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gtk/main_thread.h"

namespace sousuo::gtk {
namespace {

TEST(MainThreadHandoff, WorkRunsOnTheWindowThreadInOrderAndTheCallerWaits) {
    markMainThread();
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    std::vector<int> applied;  // touched only on the window thread
    std::atomic<int> finishedWorkers{0};
    std::atomic<bool> everyCallWaited{true};

    const auto worker = [&](int base) {
        for (int i = 0; i < 200; ++i) {
            bool ran = false;
            runOnMainThread([&, i] {
                if (!onMainThread()) applied.push_back(-1);
                applied.push_back(base + i);
                ran = true;
            });
            if (!ran) everyCallWaited = false;
        }
        if (++finishedWorkers == 2) {
            g_main_context_invoke(nullptr, +[](gpointer data) -> gboolean {
                g_main_loop_quit(static_cast<GMainLoop*>(data));
                return G_SOURCE_REMOVE;
            }, loop);
        }
    };
    std::thread first(worker, 0);
    std::thread second(worker, 1000);
    // A watchdog so that a lost hand-off fails the test instead of hanging it.
    const guint watchdog = g_timeout_add_seconds(30, +[](gpointer data) -> gboolean {
        ADD_FAILURE() << "the hand-offs did not finish";
        g_main_loop_quit(static_cast<GMainLoop*>(data));
        return G_SOURCE_REMOVE;
    }, loop);
    g_main_loop_run(loop);
    first.join();
    second.join();
    g_source_remove(watchdog);
    g_main_loop_unref(loop);

    EXPECT_TRUE(everyCallWaited);
    ASSERT_EQ(applied.size(), 400u);
    std::vector<int> fromFirst;
    std::vector<int> fromSecond;
    for (int value : applied) {
        ASSERT_NE(value, -1) << "work ran off the window thread";
        (value < 1000 ? fromFirst : fromSecond).push_back(value % 1000);
    }
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(fromFirst[i], i);
        EXPECT_EQ(fromSecond[i], i);
    }
}

TEST(MainThreadHandoff, OnTheWindowThreadWorkRunsAtOnce) {
    markMainThread();
    int runs = 0;
    runOnMainThread([&] { ++runs; });
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace sousuo::gtk
