#include "capture/media/uGstSupport.h"

#include <mutex>

#include "astro/uExceptions.h"

namespace orbis::gst {

void ensureInitialized() {
    static std::once_flag once;
    std::call_once(once, [] {
        GError* error = nullptr;
        if (!gst_init_check(nullptr, nullptr, &error)) throw Exception(TDiagnostic(Code::GStreamerInitFailed).with("detail", takeErrorText(error)));
    });
}

std::string takeErrorText(GError*& error) {
    std::string text = error ? error->message : "unknown error";
    g_clear_error(&error);
    return text;
}

std::string quoted(const std::string& text) {
    std::string q = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + '"';
}

}  // namespace orbis::gst
