#include "gtk/main_thread.h"

#include <glib.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace sousuo::gtk {
namespace {

std::thread::id mainThreadId;

struct Handoff {
    std::function<void()> work;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

gboolean runHandoff(gpointer data) {
    auto* handoff = static_cast<Handoff*>(data);
    handoff->work();
    {
        const std::lock_guard lock(handoff->mutex);
        handoff->finished = true;
    }
    handoff->done.notify_one();
    return G_SOURCE_REMOVE;
}

}  // namespace

void markMainThread() { mainThreadId = std::this_thread::get_id(); }

bool onMainThread() { return std::this_thread::get_id() == mainThreadId; }

void runOnMainThread(std::function<void()> work) {
    if (onMainThread()) {
        work();
        return;
    }
    // The handoff lives on this thread's stack: we wait below until the main loop has run it.
    Handoff handoff;
    handoff.work = std::move(work);
    g_main_context_invoke(nullptr, runHandoff, &handoff);
    std::unique_lock lock(handoff.mutex);
    handoff.done.wait(lock, [&] { return handoff.finished; });
}

}  // namespace sousuo::gtk
