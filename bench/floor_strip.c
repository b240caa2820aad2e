// The floor of the start-up and idle-memory benchmarks: the least a GTK 3 program does to show a
// strip like sousuo's. An undecorated 455 x 33 window with one entry, shown at once; the program
// ends as soon as the window is mapped, or with --stay it keeps running (so that its memory can be
// read) until it is killed. GTK's defaults are kept on purpose, GL included: this is what a plain
// GTK program costs, not a tuned one.
//
//   floor_strip            # exits when mapped
//   floor_strip --stay     # stays after the map

#include <gtk/gtk.h>
#include <string.h>

enum { StripWidth = 455, StripHeight = 33 };

static gboolean onMapped(GtkWidget* window, GdkEvent* event, gpointer stay) {
    (void)window;
    (void)event;
    if (!GPOINTER_TO_INT(stay)) gtk_main_quit();
    return FALSE;
}

int main(int argc, char** argv) {
    const gboolean stay = argc > 1 && strcmp(argv[1], "--stay") == 0;
    gtk_init(&argc, &argv);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window), StripWidth, StripHeight);
    gtk_container_add(GTK_CONTAINER(window), gtk_entry_new());
    g_signal_connect(window, "map-event", G_CALLBACK(onMapped), GINT_TO_POINTER(stay));
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show_all(window);

    gtk_main();
    return 0;
}
