// The peer of sousuo's search benchmarks: a plain GTK window of sousuo's expanded size holding one
// WebKit web view with WebKit's defaults, which loads one address again and again and reports, for
// every load, the time from the request to WEBKIT_LOAD_FINISHED. The first load of the fresh view
// is the cold one (the web process starts for it); the ones after it are warm.
//
//   cold_web_view [--on-key] URL [LOADS]
//
// "{n}" in URL is replaced by the load's number, from 1. Without --on-key the first load starts
// when the window is mapped and each next one when the one before has finished; with --on-key
// every Return pressed in the window starts the next load, so that an outside driver can time it
// the way it times a search. The program ends after LOADS loads (5 unless given).
//
// Output, one line each:
//   mapped
//   load <n> cold|warm <milliseconds from the request to load finished>
//   failed <n> <message>

#include <gdk/gdkkeysyms.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int WindowWidth = 1142;
constexpr int WindowHeight = 567;

struct LoadRun {
    std::string urlPattern;
    int loads = 5;
    bool onKey = false;
    WebKitWebView* view = nullptr;
    int started = 0;
    gint64 startedAtUs = 0;
    bool busy = false;
};

std::string addressOf(const std::string& pattern, int number) {
    std::string address = pattern;
    const std::string marker = "{n}";
    for (auto at = address.find(marker); at != std::string::npos; at = address.find(marker, at)) {
        address.replace(at, marker.size(), std::to_string(number));
    }
    return address;
}

void startNextLoad(LoadRun* run) {
    if (run->started >= run->loads) return;
    ++run->started;
    run->busy = true;
    const std::string address = addressOf(run->urlPattern, run->started);
    run->startedAtUs = g_get_monotonic_time();
    webkit_web_view_load_uri(run->view, address.c_str());
}

gboolean startNextLoadWhenIdle(gpointer data) {
    startNextLoad(static_cast<LoadRun*>(data));
    return G_SOURCE_REMOVE;
}

gboolean quitWhenIdle(gpointer) {
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

void onLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* run = static_cast<LoadRun*>(data);
    if (event != WEBKIT_LOAD_FINISHED || !run->busy) return;
    run->busy = false;
    const double millis = static_cast<double>(g_get_monotonic_time() - run->startedAtUs) / 1000.0;
    std::printf("load %d %s %.3f\n", run->started, run->started == 1 ? "cold" : "warm", millis);
    std::fflush(stdout);
    if (run->started >= run->loads) {
        g_idle_add(quitWhenIdle, nullptr);
    } else if (!run->onKey) {
        g_idle_add(startNextLoadWhenIdle, run);
    }
}

gboolean onLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer data) {
    std::printf("failed %d %s\n", static_cast<LoadRun*>(data)->started, error->message);
    std::fflush(stdout);
    return FALSE;  // load-changed still reports the end of the load
}

gboolean onMapped(GtkWidget*, GdkEvent*, gpointer data) {
    auto* run = static_cast<LoadRun*>(data);
    std::printf("mapped\n");
    std::fflush(stdout);
    if (!run->onKey && run->started == 0) startNextLoad(run);
    return FALSE;
}

// Connected to the window, so it runs before the web view sees the key.
gboolean onKeyPress(GtkWidget*, GdkEventKey* key, gpointer data) {
    auto* run = static_cast<LoadRun*>(data);
    if (!run->onKey || (key->keyval != GDK_KEY_Return && key->keyval != GDK_KEY_KP_Enter)) {
        return FALSE;
    }
    startNextLoad(run);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    LoadRun run;
    int next = 1;
    if (next < argc && std::strcmp(argv[next], "--on-key") == 0) {
        run.onKey = true;
        ++next;
    }
    if (next >= argc) {
        std::fprintf(stderr, "usage: %s [--on-key] URL [LOADS]\n", argv[0]);
        return 2;
    }
    run.urlPattern = argv[next++];
    if (next < argc) run.loads = std::max(1, std::atoi(argv[next]));

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), WindowWidth, WindowHeight);
    GtkWidget* view = webkit_web_view_new();
    run.view = WEBKIT_WEB_VIEW(view);
    gtk_container_add(GTK_CONTAINER(window), view);
    g_signal_connect(view, "load-changed", G_CALLBACK(onLoadChanged), &run);
    g_signal_connect(view, "load-failed", G_CALLBACK(onLoadFailed), &run);
    g_signal_connect(window, "map-event", G_CALLBACK(onMapped), &run);
    g_signal_connect(window, "key-press-event", G_CALLBACK(onKeyPress), &run);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);

    gtk_main();
    return 0;
}
