#pragma once
// The one hand-off from other threads to the window thread (GTK's main thread).

#include <functional>

namespace sousuo::gtk {

/// Records the calling thread as the window thread. Call once at start-up.
void markMainThread();
bool onMainThread();

/// Runs the work on the window thread and returns when it has run. On the window thread it runs
/// at once. Calls from one thread are applied in the order made. GTK is not thread-safe, so every
/// widget access from the start-up worker goes through here.
void runOnMainThread(std::function<void()> work);

/// Queues the work for the window thread and returns at once. Any thread.
void postToMainThread(std::function<void()> work);

}  // namespace sousuo::gtk
