#include "capture/media/uTimeStamp.h"

#include <gst/gst.h>

#include <filesystem>
#include <thread>

#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "capture/media/uGstSupport.h"

namespace orbis {

std::string timeStampPluginPath(const std::string& programDirectory) {
    return (std::filesystem::path(programDirectory) / kTimeStampPluginFile).string();
}

bool timeStampElementRegistered() {
    gst::ensureInitialized();
    GstElementFactory* factory = gst_element_factory_find(kTimeStampFactory);
    if (!factory) return false;
    gst_object_unref(factory);
    return true;
}

void forgetTimeStampPlugin() {
    gst::ensureInitialized();
    GstRegistry* registry = gst_registry_get();
    // The plugin carries the element's name; remove every entry of it.
    while (GstPlugin* plugin = gst_registry_find_plugin(registry, kTimeStampFactory)) {
        gst_registry_remove_plugin(registry, plugin);
        gst_object_unref(plugin);
    }
}

bool ensureTimeStampElement(const std::string& programDirectory, UserNotifier& notifier,
                            std::function<void(std::chrono::milliseconds)> wait) {
    if (timeStampElementRegistered()) return true;

    // gst_registry_scan_path reports whether the registry changed: false means
    // no new plugin was found there.
    if (!gst_registry_scan_path(gst_registry_get(), programDirectory.c_str()))
        notifier.report(TDiagnostic(Code::TimeStampRegistrationFailed).with("directory", programDirectory));

    const std::chrono::milliseconds pause = std::chrono::seconds(3);
    if (wait)
        wait(pause);
    else
        std::this_thread::sleep_for(pause);

    if (timeStampElementRegistered()) return true;
    notifier.report(TDiagnostic(Code::TimeStampMissing).with("plugin", timeStampPluginPath(programDirectory)));
    return false;
}

}  // namespace orbis
