#pragma once
// The start-up worker: button pictures, the banner and the version check, off the window thread.

#include "app/app_context.h"

namespace sousuo {

/// Display mode 1 for searchButton, resetButton and closeButton; then their pictures
/// ("/sousuo/sousuo2.jpg", "/sousuo/huanyuan.jpg", "/sousuo/guanbi.jpg", written exactly as
/// fetched); then loadBanner; then checkVersion. No step depends on an earlier one's success.
/// Once the program is ending (endInProgress above 0) it stops without further writes.
/// Runs on the worker thread: every property write goes through the window access, which hands it
/// to the window thread. Downloads through `downloads`.
void startupContentLoader(AppContext& context, Fetcher& downloads);
inline void startupContentLoader(AppContext& context) {
    startupContentLoader(context, context.fetcher);
}

/// Starts startupContentLoader on a detached thread and returns at once. The worker downloads
/// through what context.openStartupFetcher opens (and ends it when it is done), or else through
/// context.fetcher. Nothing waits for the
/// worker; the context must live until the process ends. If no thread can be started the program
/// goes on without the content. Window thread.
void startStartupWorker(AppContext& context);

}  // namespace sousuo
