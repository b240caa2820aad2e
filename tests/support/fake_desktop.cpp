#include "fake_window.h"

namespace sousuo::testing {

void FakeDesktop::navigateBrowser(const Text& address) {
    {
        const std::lock_guard lock(mutex_);
        navigations.push_back(address);
    }
    log_.add("navigate " + address);
}

bool FakeDesktop::createTipWindow(bool balloon) {
    log_.add(std::string("tip-window balloon=") + (balloon ? "1" : "0") +
             (tipWindowCreationFails ? " failed" : ""));
    return !tipWindowCreationFails;
}

void FakeDesktop::addTipTool(std::intptr_t controlHandle, const Text& text, bool centred) {
    log_.add("tip " + std::to_string(controlHandle) + " " + text + (centred ? " centred" : ""));
}

void FakeDesktop::showMessageBox(const Text& text, const Text& title) {
    log_.add("message-box " + title + "|" + text);
}

bool FakeDesktop::openUri(const std::string& uri) {
    {
        const std::lock_guard lock(mutex_);
        openedUris.push_back(uri);
    }
    log_.add("open " + uri);
    return true;
}

void FakeDesktop::endProgram(int exitCode) {
    {
        const std::lock_guard lock(mutex_);
        endCodes.push_back(exitCode);
    }
    log_.add("end " + std::to_string(exitCode));
}

Bytes FakeFetcher::fetch(const Text& address) {
    log_.add("fetch " + address);
    const std::lock_guard lock(mutex_);
    const auto found = bodies_.find(address);
    return found == bodies_.end() ? Bytes() : found->second;
}

void FakeFetcher::serve(const Text& address, Bytes body) {
    const std::lock_guard lock(mutex_);
    bodies_[address] = std::move(body);
}

FakeApp::FakeApp() {
    context.addresses.contentBaseUrl = TestContentBase;
    context.addresses.searchUrlPrefix = TestSearchPrefix;
}

}  // namespace sousuo::testing
