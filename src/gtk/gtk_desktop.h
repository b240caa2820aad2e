#pragma once
// The desktop services on GTK: the results browser, hover tips, message boxes, opening links,
// the monitors and the end of the program.

#include <functional>

#include "app/desktop.h"
#include "gtk/main_window.h"

namespace sousuo::gtk {

class GtkDesktop : public Desktop {
public:
    /// endProgram hands the end to this routine on the window thread.
    explicit GtkDesktop(std::function<void(int)> endOnMainThread)
        : endOnMainThread_(std::move(endOnMainThread)) {}

    void attach(MainWindow* window) { window_ = window; }

    void navigateBrowser(const Text& address) override;
    bool createTipWindow(bool balloon) override;
    void addTipTool(std::intptr_t controlHandle, const Text& text, bool centred) override;
    void showMessageBox(const Text& text, const Text& title) override;
    bool openUri(const std::string& uri) override;
    std::vector<ScreenRect> monitors() override;
    void endProgram(int exitCode) override;

private:
    std::function<void(int)> endOnMainThread_;
    MainWindow* window_ = nullptr;
};

/// Shows a message box (UTF-8 texts) with one OK button and no parent, and returns when it has been
/// closed. The window stays usable meanwhile. Window thread.
void runMessageBox(const std::string& text, const std::string& title, GtkMessageType type);

}  // namespace sousuo::gtk
