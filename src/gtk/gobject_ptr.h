#pragma once
// Owners for GLib and GObject resources held by C++ objects.

#include <glib-object.h>

#include <memory>

namespace sousuo::gtk {

struct GObjectUnref {
    void operator()(gpointer object) const {
        if (object) g_object_unref(object);
    }
};

/// A strong reference to a GObject, released when the owner goes.
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeDeleter {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct GErrorDeleter {
    void operator()(GError* error) const {
        if (error) g_error_free(error);
    }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

}  // namespace sousuo::gtk
