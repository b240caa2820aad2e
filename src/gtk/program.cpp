#include "gtk/program.h"

#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/events.h"
#include "app/program_files.h"
#include "app/shell.h"
#include "gtk/gtk_desktop.h"
#include "gtk/gtk_window_access.h"
#include "gtk/main_thread.h"
#include "gtk/main_window.h"
#include "placement/position_file.h"
#include "remote/helper_fetcher.h"
#include "remote/helper_protocol.h"
#include "remote/module_fetcher.h"
#include "remote/startup_content_loader.h"

namespace sousuo::gtk {
namespace {

class Program {
public:
    [[noreturn]] void run(const Addresses& addresses);

private:
    [[noreturn]] void finish(int exitCode);
    [[noreturn]] void reportFatalError(std::int32_t code, std::string_view utf8Message);

    EndRoutines routines_;
    ModuleFetcher fetcher_;
    GtkWindowAccess window_{[this](std::string_view message) { reportFatalError(0, message); }};
    GtkDesktop desktop_{[this](int exitCode) { finish(exitCode); }};
    AppContext context_{window_, desktop_, fetcher_};
    std::unique_ptr<MainWindow> mainWindow_;
};

void Program::run(const Addresses& addresses) {
    // sousuo places its own window on the screen, which only X11 allows; on a Wayland session
    // it runs through XWayland.
    gdk_set_allowed_backends("x11");
    // The window draws nothing with OpenGL, so GDK need not load a GL driver at start-up (which
    // costs time and tens of MiB, more so on software rendering); the web engine keeps its own.
    const bool glChosenByUser = g_getenv("GDK_GL") != nullptr;
    if (!glChosenByUser) g_setenv("GDK_GL", "disable", TRUE);
    g_set_prgname("sousuo");
    markMainThread();

    context_.addresses = addresses;
    context_.runDirectory = runDirectory();
    if (!context_.runDirectory.empty() && chdir(context_.runDirectory.c_str()) != 0) {
        // The current directory only matters for relative paths, and the program uses none.
    }
    context_.userConfigDir = g_get_user_config_dir();
    context_.startStartupWorker = [this] { startStartupWorker(context_); };
    // The window thread downloads in this process (a search waits for its picture); the start-up
    // worker through the helper, so that the idle strip does not keep the downloads' libraries.
    context_.openStartupFetcher = [this]() -> std::unique_ptr<Fetcher> {
        return std::make_unique<HelperFetcher>(findProgramFile(helper::HelperName), fetcher_);
    };

    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "%s: cannot open the X display \"%s\"\n", MainWindowLoadFailed.data(),
                     display ? display : "");
        std::fflush(stderr);
        _exit(FatalExitCode & 0xFF);
    }

    if (!glChosenByUser) g_unsetenv("GDK_GL");  // not for the web engine's processes

    // After GTK's start, which would set the X11 class to "Sousuo" from the program name.
    gdk_set_program_class("sousuo");
    routines_.add(releaseGlobalTexts);

    mainWindow_ = std::make_unique<MainWindow>(
        [this](Event event, const EventArgs& args) { dispatchEvent(context_, event, args); },
        // A search downloads its busy picture first thing: have the download module in by then.
        [this] { fetcher_.load(); });
    window_.attach(mainWindow_.get());
    desktop_.attach(mainWindow_.get());

    // The created event runs while the window is still hidden, so a restored place is in effect
    // when the window is first shown.
    dispatchEvent(context_, Event::created);
    if (mainWindow_->alive()) mainWindow_->show();

    gtk_main();
    finish(0);
}

void Program::finish(int exitCode) {
    runEndSequence(context_, routines_,
                   {.releaseLayout = {}, .destroyWindows = [this] { mainWindow_->destroy(); }});
    std::fflush(stdout);
    std::fflush(stderr);
    // _exit: no static destructors run that a still-running start-up worker could touch.
    _exit(exitCode & 0xFF);
}

void Program::reportFatalError(std::int32_t code, std::string_view utf8Message) {
    context_.endInProgress.fetch_add(1);
    runMessageBox(fatalErrorText(code, utf8Message), std::string(FatalErrorTitle), GTK_MESSAGE_ERROR);
    routines_.clear();  // the end routines do not run after a fatal error
    finish(FatalExitCode);
}

}  // namespace

void runProgram(const Addresses& addresses) {
    // Lives until the process ends: the program always leaves through _exit.
    static Program program;
    program.run(addresses);
}

}  // namespace sousuo::gtk
