#include "gtk/text_box.h"

#include "gtk/gobject_ptr.h"

namespace sousuo::gtk {

TextBox::TextBox(int width, int height, const TextBoxStyle& style)
    : widget_(gtk_drawing_area_new()), width_(width), height_(height), style_(style) {
    gtk_widget_set_size_request(widget_, width, height);
    gtk_widget_add_events(widget_, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(widget_, "draw", G_CALLBACK(onDraw), this);
}

void TextBox::setCaption(std::string utf8) {
    caption_ = std::move(utf8);
    gtk_widget_queue_draw(widget_);
}

gboolean TextBox::onDraw(GtkWidget*, cairo_t* cr, gpointer self) {
    static_cast<TextBox*>(self)->draw(cr);
    return FALSE;
}

void TextBox::draw(cairo_t* cr) {
    if (style_.ownBackground) {
        cairo_set_source_rgb(cr, style_.background[0], style_.background[1], style_.background[2]);
        cairo_paint(cr);
    }
    if (style_.border) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, 0.5, 0.5, width_ - 1, height_ - 1);
        cairo_stroke(cr);
    }
    if (caption_.empty()) return;

    GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(widget_, caption_.c_str()));
    PangoFontDescription* font = pango_font_description_from_string(style_.font);
    pango_layout_set_font_description(layout.get(), font);
    pango_font_description_free(font);

    int x = 0;
    int y = 0;
    if (style_.centred) {
        pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
        int textWidth = 0;
        int textHeight = 0;
        pango_layout_get_pixel_size(layout.get(), &textWidth, &textHeight);
        x = (width_ - textWidth) / 2;
        y = (height_ - textHeight) / 2;
    } else {
        pango_layout_set_width(layout.get(), width_ * PANGO_SCALE);
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    }
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width_, height_);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, style_.foreground[0], style_.foreground[1], style_.foreground[2]);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
}

}  // namespace sousuo::gtk
