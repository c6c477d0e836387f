#pragma once
// What the video page browses, without a window: the "*.avi" clips of a
// chosen directory with the stepping rules of the page's buttons, the texts
// the status bar shows of a clip, and deleting a clip.

#include <string>
#include <vector>

#include "capture/uAviFile.h"

namespace orbis {

class TVideoBrowser {
public:
    // Lists the clips of the directory (sorted bare names); the first is current.
    void open(const std::string& clipsDirectory);

    const std::string& clipsDirectory() const { return directory_; }
    const std::vector<std::string>& clips() const { return clips_; }
    int index() const { return index_; }
    bool empty() const { return clips_.empty(); }
    // The current clip's path; "" when there is none.
    std::string clipPath() const;

    // One step, kept inside the list. False when it ran past an end (the
    // page disables that button).
    bool step(int delta);

    // Deletes the current clip's file, takes it from the list and steps back
    // to the clip before it (as step(-1), whose result it returns). Raises
    // EInOutError, naming the clip and the reason, when the file cannot be
    // deleted or is not a file; the clip then stays listed and current.
    bool removeCurrent();

private:
    std::string directory_;
    std::vector<std::string> clips_;
    int index_ = 0;
};

// Status panel 2 of a clip: "Video: 640x480, 35 frames".
std::string clipVideoText(const TAviInfo& info);
// Status panel 3: "Samples Per Second: 25 Time Length: 1.4 s", the numbers
// in 15 significant digits with the user's decimal separator.
std::string clipTimingText(const TAviInfo& info);

}  // namespace orbis
