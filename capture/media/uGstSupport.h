#pragma once
// GStreamer helpers shared by the media units. Included by .cpp files only:
// the public headers of capture/media stay plain C++.

#include <gst/gst.h>

#include <string>
#include <utility>
#include <vector>

namespace orbis::gst {

// gst_init once per process; raises Exception when GStreamer cannot start.
void ensureInitialized();

// Owns one reference of a GstObject.
template <typename T>
struct ObjectRef {
    T* p = nullptr;
    ObjectRef() = default;
    explicit ObjectRef(T* object) : p(object) {}
    ~ObjectRef() {
        if (p) gst_object_unref(p);
    }
    ObjectRef(const ObjectRef&) = delete;
    ObjectRef& operator=(const ObjectRef&) = delete;
    T* release() { return std::exchange(p, nullptr); }
};

// The error's message (or "unknown error"); frees it.
std::string takeErrorText(GError*& error);

// A text as a double-quoted value of a pipeline description.
std::string quoted(const std::string& text);

// Sets the encoder's properties in order (uEncoders.h); raises
// EConvertError for a setting the element refuses and leaves the rest unset.
void applyEncoderSettings(GstElement* encoder, const std::vector<std::pair<std::string, std::string>>& settings);

}  // namespace orbis::gst
