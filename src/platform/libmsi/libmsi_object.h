#pragma once
// Linux only: owners for what libmsi hands out (GLib objects, texts and errors), released
// once, on every way out of the scope that holds them.
#include <glib-object.h>

#include <memory>

namespace zarvo::libmsi {

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using Owned = std::unique_ptr<T, ObjectUnref>;

struct TextFree {
    void operator()(gchar* text) const { g_free(text); }
};
using GlibText = std::unique_ptr<gchar, TextFree>;

// The place a libmsi call reports its error into, and the error's owner afterwards.
class ErrorSlot {
public:
    ErrorSlot() = default;
    ~ErrorSlot() { g_clear_error(&error_); }
    ErrorSlot(const ErrorSlot&) = delete;
    ErrorSlot& operator=(const ErrorSlot&) = delete;

    GError** Out() { return &error_; }
    const GError* Get() const { return error_; }

private:
    GError* error_ = nullptr;
};

}  // namespace zarvo::libmsi
