#include "gtk/picture_box.h"

#include <algorithm>

#include "app/picture_layout.h"
#include "app/window_access.h"

namespace sousuo::gtk {
namespace {

// Cairo wants premultiplied native-endian ARGB; the decoders give straight RGBA.
cairo_surface_t* surfaceFromFrame(const PictureFrame& frame) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame.width, frame.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < frame.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        const std::uint8_t* src = frame.rgba.data() + static_cast<std::size_t>(y) * frame.width * 4;
        for (int x = 0; x < frame.width; ++x, src += 4) {
            const std::uint32_t a = src[3];
            const std::uint32_t r = src[0] * a / 255;
            const std::uint32_t g = src[1] * a / 255;
            const std::uint32_t b = src[2] * a / 255;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

int screenDepth(GtkWidget* widget) {
    GdkVisual* visual = gdk_screen_get_system_visual(gtk_widget_get_screen(widget));
    return visual ? gdk_visual_get_depth(visual) : 24;
}

}  // namespace

PictureBox::PictureBox(int width, int height)
    : widget_(gtk_drawing_area_new()), width_(width), height_(height) {
    gtk_widget_set_size_request(widget_, width, height);
    gtk_widget_add_events(widget_, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(widget_, "draw", G_CALLBACK(onDraw), this);
}

PictureBox::~PictureBox() { stopAnimation(); }

void PictureBox::setPicture(const Bytes& bytes) {
    stopAnimation();
    frames_.clear();
    delays_.clear();
    current_ = 0;
    if (std::optional<Picture> picture = decodePicture(bytes)) {
        for (const PictureFrame& frame : picture->frames) {
            Surface surface(surfaceFromFrame(frame));
            if (!surface) {
                frames_.clear();
                delays_.clear();
                break;
            }
            frames_.push_back(std::move(surface));
            delays_.push_back(frame.delayMs);
        }
    }
    scheduleNextFrame();
    gtk_widget_queue_draw(widget_);
}

void PictureBox::setDisplayMode(int mode) {
    mode = clampDisplayMode(mode);
    if (mode == mode_) return;
    mode_ = mode;
    gtk_widget_queue_draw(widget_);
}

void PictureBox::stopAnimation() {
    if (timer_ != 0) g_source_remove(timer_);
    timer_ = 0;
}

void PictureBox::scheduleNextFrame() {
    if (frames_.size() < 2) return;
    // Browsers treat very short GIF delays as 100 ms; so do we, so that such pictures do not spin.
    const int delay = delays_[current_] <= 10 ? 100 : delays_[current_];
    timer_ = g_timeout_add(static_cast<guint>(delay), onFrameTimer, this);
}

gboolean PictureBox::onFrameTimer(gpointer self) {
    auto* box = static_cast<PictureBox*>(self);
    box->timer_ = 0;
    box->current_ = (box->current_ + 1) % box->frames_.size();
    gtk_widget_queue_draw(box->widget_);
    box->scheduleNextFrame();
    return G_SOURCE_REMOVE;
}

gboolean PictureBox::onDraw(GtkWidget*, cairo_t* cr, gpointer self) {
    static_cast<PictureBox*>(self)->draw(cr);
    return FALSE;
}

void PictureBox::draw(cairo_t* cr) {
    if (frames_.empty()) return;  // the window's background shows through
    cairo_surface_t* surface = frames_[current_].get();
    const int pictureWidth = cairo_image_surface_get_width(surface);
    const int pictureHeight = cairo_image_surface_get_height(surface);
    const PictureRect target = layoutPicture(mode_, pictureWidth, pictureHeight, width_, height_);
    if (target.width <= 0 || target.height <= 0) return;

    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width_, height_);
    cairo_clip(cr);
    cairo_translate(cr, target.x, target.y);
    cairo_scale(cr, static_cast<double>(target.width) / pictureWidth,
                static_cast<double>(target.height) / pictureHeight);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), smoothScaling(screenDepth(widget_))
                                                       ? CAIRO_FILTER_GOOD
                                                       : CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace sousuo::gtk
