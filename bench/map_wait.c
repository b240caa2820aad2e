// Starts a program and measures the time from just before its exec to the moment that one of its
// top-level windows of a given X11 class is mapped, as the X server reports it (MapNotify), so
// that every program of a start-up comparison is timed by the same outside observer.
//
//   map_wait CLASS TIMEOUT_MS PROGRAM [ARGUMENT...]
//
// Prints one line as soon as the window maps and then keeps the program company until it ends
// (a SIGTERM or SIGINT to map_wait is passed on to it); exits with the program's status:
//   mapped <milliseconds> <pid> <window id>
// On failure it prints "timeout <pid>" (the program is ended) or "ended <pid> <status>" before any
// map, and exits with 2.
//
// CLASS is compared, ignoring case, with both parts of the window's WM_CLASS. The display is the
// one that DISPLAY names.

#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static volatile sig_atomic_t stopRequested = 0;

static void onStopSignal(int signal) {
    (void)signal;
    stopRequested = 1;
}

// A window can be gone by the time a request about it arrives; that is no error here.
static int ignoreXError(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

static double millisecondsSince(const struct timespec* start) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)(now.tv_sec - start->tv_sec) * 1e3 +
           (double)(now.tv_nsec - start->tv_nsec) / 1e6;
}

static int hasClass(Display* display, Window window, const char* wanted) {
    XClassHint hint = {NULL, NULL};
    if (!XGetClassHint(display, window, &hint)) return 0;
    const int matches = (hint.res_name && strcasecmp(hint.res_name, wanted) == 0) ||
                        (hint.res_class && strcasecmp(hint.res_class, wanted) == 0);
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return matches;
}

// Waits for the program to end, passing a stop request on to it; returns its exit status.
static int accompany(pid_t child) {
    int status = 0;
    int forwarded = 0;
    while (waitpid(child, &status, WNOHANG) != child) {
        if (stopRequested && !forwarded) {
            kill(child, SIGTERM);
            forwarded = 1;
        }
        usleep(20000);
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s CLASS TIMEOUT_MS PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    const char* wantedClass = argv[1];
    const double timeoutMs = atof(argv[2]);

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    sigaction(SIGTERM, &action, NULL);
    sigaction(SIGINT, &action, NULL);

    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "map_wait: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignoreXError);
    const int xFd = ConnectionNumber(display);
    fcntl(xFd, F_SETFD, FD_CLOEXEC);
    // Every top-level window is created as a child of the root window, so its CreateNotify comes
    // here; its own MapNotify is then asked for on the window itself, because a window manager
    // reparents it into a frame before mapping it.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) {
        execv(argv[3], argv + 3);
        _exit(127);
    }

    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            Window mapped = None;
            if (event.type == CreateNotify) {
                const Window created = event.xcreatewindow.window;
                XSelectInput(display, created, StructureNotifyMask);
                // It may have been mapped before the selection reached the server.
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, created, &attributes) &&
                    attributes.map_state != IsUnmapped && hasClass(display, created, wantedClass)) {
                    mapped = created;
                }
            } else if (event.type == MapNotify &&
                       hasClass(display, event.xmap.window, wantedClass)) {
                mapped = event.xmap.window;
            }
            if (mapped != None) {
                printf("mapped %.3f %d %lu\n", millisecondsSince(&start), (int)child,
                       (unsigned long)mapped);
                fflush(stdout);
                XCloseDisplay(display);
                return accompany(child);
            }
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            printf("ended %d %d\n", (int)child, status);
            return 2;
        }
        if (stopRequested || millisecondsSince(&start) > timeoutMs) {
            printf("timeout %d\n", (int)child);
            kill(child, SIGTERM);
            waitpid(child, &status, 0);
            return 2;
        }
        struct pollfd watched = {xFd, POLLIN, 0};
        poll(&watched, 1, 20);
    }
}
