#pragma once
// A picture box: a drawing area that shows a decoded picture (animations play) in one of three
// display modes over the window's background.

#include <gtk/gtk.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/picture.h"
#include "app/text.h"

namespace sousuo::gtk {

class PictureBox {
public:
    PictureBox(int width, int height);
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    GtkWidget* widget() const { return widget_; }

    /// Decodes the bytes and shows them; anything that does not decode leaves the box bare.
    void setPicture(const Bytes& bytes);
    /// 0 natural size at the top-left, 1 stretched over the box, 2 centred and shrunk to fit.
    void setDisplayMode(int mode);
    int displayMode() const { return mode_; }
    /// How many frames the current picture has (0 for a bare box); for tests and logs.
    std::size_t frameCount() const { return frames_.size(); }

private:
    struct SurfaceDeleter {
        void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    };
    using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

    static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean onFrameTimer(gpointer self);
    void draw(cairo_t* cr);
    void stopAnimation();
    void scheduleNextFrame();

    GtkWidget* widget_;
    int width_;
    int height_;
    int mode_ = 0;
    std::vector<Surface> frames_;
    std::vector<int> delays_;
    std::size_t current_ = 0;
    guint timer_ = 0;
};

}  // namespace sousuo::gtk
