#pragma once
// Test doubles for the window, the desktop and the downloads. They share one log, so a test can
// check the order of property writes, downloads, navigations and tips across all three.

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/app_context.h"
#include "app/desktop.h"
#include "app/window_access.h"
#include "remote/fetcher.h"

namespace sousuo::testing {

/// One ordered record of everything the fakes saw; safe to append from several threads.
class EventLog {
public:
    void add(std::string entry);
    std::vector<std::string> entries() const;
    /// Entries that start with the prefix, in order.
    std::vector<std::string> matching(const std::string& prefix) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

/// A window that keeps its properties in memory, clamps as the real one does, and logs each call
/// as "write <control>.<index>=<value>", "read <control>.<index>", "message <control> <msg>".
/// Pictures are logged as "write searchButton.10=<n> bytes".
class FakeWindow : public WindowAccess {
public:
    explicit FakeWindow(EventLog& log);

    PropertyValue readProperty(Control control, int index) override;
    void writeProperty(Control control, int index, const PropertyValue& value) override;
    std::intptr_t windowHandleOf(Control control) override;
    std::intptr_t sendMessageTo(Control control, std::uint32_t message, std::intptr_t first,
                                std::intptr_t second) override;

    /// Direct access for tests (not logged).
    void set(Control control, int index, PropertyValue value);
    PropertyValue get(Control control, int index) const;
    std::int32_t getInt(Control control, int index) const;
    Text getText(Control control, int index) const;
    Bytes getBytes(Control control, int index) const;

    /// A handle of 0 means "no native window" for that control.
    void setHandle(Control control, std::intptr_t handle);

private:
    EventLog& log_;
    mutable std::mutex mutex_;
    std::map<std::pair<Control, int>, PropertyValue> values_;
    std::map<Control, std::intptr_t> handles_;
};

/// Desktop double: logs "navigate <address>", "tip-window balloon=<0|1>", "tip <handle> <text>",
/// "message-box <title>|<text>", "open <uri>", "end <code>".
class FakeDesktop : public Desktop {
public:
    explicit FakeDesktop(EventLog& log) : log_(log) {}

    void navigateBrowser(const Text& address) override;
    bool createTipWindow(bool balloon) override;
    void addTipTool(std::intptr_t controlHandle, const Text& text, bool centred) override;
    void showMessageBox(const Text& text, const Text& title) override;
    bool openUri(const std::string& uri) override;
    void endProgram(int exitCode) override;
    std::vector<ScreenRect> monitors() override { return screens; }

    bool tipWindowCreationFails = false;
    /// One 1280 x 1024 monitor unless a test says otherwise.
    std::vector<ScreenRect> screens{ScreenRect{0, 0, 1280, 1024}};
    std::vector<Text> navigations;
    std::vector<std::string> openedUris;
    std::vector<int> endCodes;

private:
    EventLog& log_;
    std::mutex mutex_;
};

/// Download double: serves bodies by address (everything else is the empty buffer) and logs
/// "fetch <address>".
class FakeFetcher : public Fetcher {
public:
    explicit FakeFetcher(EventLog& log) : log_(log) {}
    Bytes fetch(const Text& address) override;
    void serve(const Text& address, Bytes body);

private:
    EventLog& log_;
    std::mutex mutex_;
    std::map<Text, Bytes> bodies_;
};

inline constexpr const char* TestContentBase = "http://content.test";
inline constexpr const char* TestSearchPrefix = "https://search.test/baidu?&ie=utf-8&word=";

/// The three fakes wired into a context with the test addresses.
struct FakeApp {
    FakeApp();
    EventLog log;
    FakeWindow window{log};
    FakeDesktop desktop{log};
    FakeFetcher fetcher{log};
    AppContext context{window, desktop, fetcher};
};

}  // namespace sousuo::testing
