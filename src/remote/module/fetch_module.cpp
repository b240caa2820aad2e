// The download module: fetchRemoteFile behind a C entry point, loaded by the program on its first
// download.

#include "remote/fetch_module_api.h"
#include "remote/fetch_remote_file.h"

namespace {

void fetch(const char* address, std::size_t size, SousuoFetchSink sink, void* context) {
    const sousuo::Bytes body = sousuo::fetchRemoteFile(sousuo::Text(address, size));
    if (!body.empty()) sink(context, reinterpret_cast<const char*>(body.data()), body.size());
}

constexpr SousuoFetchApi Api{sousuo::FetchApiVersion, fetch};

}  // namespace

extern "C" __attribute__((visibility("default"))) const SousuoFetchApi* sousuo_fetch_api() {
    return &Api;
}
