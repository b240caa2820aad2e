#include "gtk/main_thread.h"

#include <glib.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace sousuo::gtk {
namespace {

std::thread::id mainThreadId;

// Work for the window thread waits in this queue; an idle source on the main context takes one
// item at a time off it, in the order queued. The queue's own lock is what orders the two
// threads' memory (GLib's locks are invisible to ThreadSanitizer).
std::mutex queueMutex;
std::deque<std::function<void()>> queue;

gboolean runNext(gpointer) {
    std::function<void()> work;
    {
        const std::lock_guard lock(queueMutex);
        if (queue.empty()) return G_SOURCE_REMOVE;
        work = std::move(queue.front());
        queue.pop_front();
    }
    work();
    return G_SOURCE_REMOVE;
}

// Always queued, never run on the calling thread: g_main_context_invoke would run the work right
// here whenever this thread can take the context, as it can before the main loop has started.
void enqueue(std::function<void()> work) {
    {
        const std::lock_guard lock(queueMutex);
        queue.push_back(std::move(work));
    }
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, runNext, nullptr, nullptr);
    g_source_attach(source, nullptr);
    g_source_unref(source);
}

}  // namespace

void markMainThread() { mainThreadId = std::this_thread::get_id(); }

bool onMainThread() { return std::this_thread::get_id() == mainThreadId; }

void runOnMainThread(std::function<void()> work) {
    if (onMainThread()) {
        work();
        return;
    }
    // The state lives on this thread's stack: we wait below until the window thread has run it.
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    enqueue([&] {
        work();
        const std::lock_guard lock(mutex);
        finished = true;
        done.notify_one();
    });
    std::unique_lock lock(mutex);
    done.wait(lock, [&] { return finished; });
}

void postToMainThread(std::function<void()> work) { enqueue(std::move(work)); }

}  // namespace sousuo::gtk
