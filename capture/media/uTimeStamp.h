#pragma once
// The time-stamp element orbvideofilter (capture/media/plugin) and the
// start-up check that makes sure GStreamer knows it before anything records.
//
// GStreamer stays inside the .cpp: this header is plain C++.

#include <chrono>
#include <functional>
#include <string>

namespace orbis {

class UserNotifier;

inline constexpr const char* kTimeStampFactory = "orbvideofilter";
inline constexpr const char* kTimeStampPluginFile = "libgstorbvideofilter.so";

// The plugin's file in the program directory.
std::string timeStampPluginPath(const std::string& programDirectory);

// True when the registry has the element now.
bool timeStampElementRegistered();

// Forgets the plugin, so the next check scans for it afresh (a plugin file
// replaced while the program runs). The element's code stays loaded.
void forgetTimeStampPlugin();

// The start-up check. True when the element is registered; otherwise scans
// the program directory for the plugin (TimeStampRegistrationFailed when the
// scan adds nothing), waits 3 s through `wait` and looks again. Still
// missing: reports TimeStampMissing with the plugin's file and returns false.
bool ensureTimeStampElement(const std::string& programDirectory, UserNotifier& notifier,
                            std::function<void(std::chrono::milliseconds)> wait = {});

}  // namespace orbis
