#pragma once
// A label drawn by hand: background, an optional one-pixel border and a caption laid out by Pango,
// clipped to the label's own size (a GtkLabel would grow the label to fit its text).

#include <gtk/gtk.h>

#include <string>

namespace sousuo::gtk {

struct TextBoxStyle {
    double foreground[3] = {0, 0, 0};
    bool ownBackground = false;  // false: the window's background shows through
    double background[3] = {1, 1, 1};
    bool border = false;
    const char* font = "Sans 9";       // a Pango font description
    bool centred = false;              // centred on one line; otherwise top-left with word wrap
};

class TextBox {
public:
    TextBox(int width, int height, const TextBoxStyle& style);
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;

    GtkWidget* widget() const { return widget_; }
    void setCaption(std::string utf8);
    const std::string& caption() const { return caption_; }

private:
    static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    void draw(cairo_t* cr);

    GtkWidget* widget_;
    int width_;
    int height_;
    TextBoxStyle style_;
    std::string caption_;
};

}  // namespace sousuo::gtk
