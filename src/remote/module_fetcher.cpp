#include "remote/module_fetcher.h"

#include <dlfcn.h>

#include <cstdio>

#include "app/program_files.h"
#include "remote/fetch_module_api.h"

namespace sousuo {
namespace {

// The module stays loaded for the rest of the process: the download agent lives in it, and the
// start-up worker may still be inside a download when the process ends. So its handle has no
// owner that would close it.
const SousuoFetchApi* openFetchModule(const std::string& path) {
    if (path.empty()) {
        std::fprintf(stderr, "sousuo: the download module %s was not found\n", FetchModuleName);
        return nullptr;
    }
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "sousuo: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return nullptr;
    }
    auto* entry = reinterpret_cast<SousuoFetchEntry>(::dlsym(module, FetchEntryName));
    const SousuoFetchApi* api = entry ? entry() : nullptr;
    if (!api || api->version != FetchApiVersion || !api->fetch) {
        std::fprintf(stderr, "sousuo: %s is not a download module of this program\n", path.c_str());
        return nullptr;
    }
    return api;
}

void appendToBytes(void* context, const char* data, std::size_t size) {
    auto* body = static_cast<Bytes*>(context);
    body->insert(body->end(), data, data + size);
}

}  // namespace

bool ModuleFetcher::load() {
    std::call_once(loading_, [this] {
        api_ = openFetchModule(modulePath_ ? *modulePath_ : findProgramFile(FetchModuleName));
    });
    return api_ != nullptr;
}

Bytes ModuleFetcher::fetch(const Text& address) {
    Bytes body;
    if (!load()) return body;
    api_->fetch(address.data(), address.size(), appendToBytes, &body);
    return body;
}

}  // namespace sousuo
