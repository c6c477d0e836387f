#include "capture/media/uCameraControls.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "astro/uExceptions.h"

namespace orbis {

static_assert(cid::kBrightness == V4L2_CID_BRIGHTNESS);
static_assert(cid::kContrast == V4L2_CID_CONTRAST);
static_assert(cid::kSaturation == V4L2_CID_SATURATION);
static_assert(cid::kGamma == V4L2_CID_GAMMA);
static_assert(cid::kColorKiller == V4L2_CID_COLOR_KILLER);
static_assert(cid::kColorEffects == V4L2_CID_COLORFX);
static_assert(cid::kExposureAuto == V4L2_CID_EXPOSURE_AUTO);
static_assert(cid::kExposureAbsolute == V4L2_CID_EXPOSURE_ABSOLUTE);
static_assert(kExposureModeAuto == V4L2_EXPOSURE_AUTO);
static_assert(kExposureModeManual == V4L2_EXPOSURE_MANUAL);
static_assert(kExposureModeAperturePriority == V4L2_EXPOSURE_APERTURE_PRIORITY);

const char* const kEvsExposureLabels[kEvsExposureSteps] = {
    "10 us",  "100 us",  "200 us",  "500 us",  "1 ms",    "2 ms",   "4 ms",   "10 ms",  "20 ms",
    "40 ms",  "80ms",    "160ms",   "320ms",   "640ms",   "1.3 sec", "2.6 sec", "5.2 sec", "10 sec",
    "20 sec", "40 sec",  "1.5 min", "3 min",   "6 min",   "12 min", "24 min",
};

// ---------------------------------------------------------------------------
// V4L2 device node

V4l2Device::V4l2Device(const std::string& path) {
    do {
        fd_ = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) throw EInOutError(TDiagnostic(Code::VideoDeviceOpenFailed).with("device", path).with("detail", std::strerror(errno)));
}

V4l2Device::~V4l2Device() { ::close(fd_); }

int V4l2Device::xioctl(unsigned long request, void* arg) {
    int r;
    do {
        r = ::ioctl(fd_, request, arg);
    } while (r < 0 && errno == EINTR);
    return r;
}

namespace {

std::string fixedString(const __u8* bytes, std::size_t size) {
    const char* s = reinterpret_cast<const char*>(bytes);
    return std::string(s, strnlen(s, size));
}

ControlType typeOf(uint32_t type) {
    switch (type) {
        case V4L2_CTRL_TYPE_INTEGER: return ControlType::Integer;
        case V4L2_CTRL_TYPE_BOOLEAN: return ControlType::Boolean;
        case V4L2_CTRL_TYPE_MENU: return ControlType::Menu;
        case V4L2_CTRL_TYPE_INTEGER_MENU: return ControlType::IntegerMenu;
        case V4L2_CTRL_TYPE_BUTTON: return ControlType::Button;
        default: return ControlType::Other;
    }
}

}  // namespace

std::optional<TControlInfo> V4l2Device::query(uint32_t id) {
    v4l2_queryctrl q{};
    q.id = id;
    if (xioctl(VIDIOC_QUERYCTRL, &q) < 0) return std::nullopt;
    TControlInfo info;
    info.id = q.id;
    info.name = fixedString(q.name, sizeof q.name);
    info.type = q.type == V4L2_CTRL_TYPE_CTRL_CLASS ? ControlType::Other : typeOf(q.type);
    info.range = {q.minimum, q.maximum, q.step, q.default_value};
    info.readOnly = (q.flags & V4L2_CTRL_FLAG_READ_ONLY) != 0;
    info.inactive = (q.flags & (V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_DISABLED)) != 0;
    if (q.flags & V4L2_CTRL_FLAG_DISABLED) info.type = ControlType::Other;  // skipped by the callers
    if (info.type == ControlType::Menu || info.type == ControlType::IntegerMenu) {
        // 64-bit counting and a cap: a driver's range must not overflow the
        // loop or make it ask billions of times.
        constexpr int64_t kMaxMenuEntries = 1024;
        const int64_t first = std::max<int64_t>(q.minimum, 0);
        const int64_t last = std::min<int64_t>(q.maximum, first + kMaxMenuEntries - 1);
        for (int64_t i = first; i <= last; ++i) {
            v4l2_querymenu m{};
            m.id = q.id;
            m.index = static_cast<__u32>(i);
            if (xioctl(VIDIOC_QUERYMENU, &m) < 0) continue;  // gaps in a menu are allowed
            info.menu.emplace_back(static_cast<int32_t>(i), info.type == ControlType::Menu ? fixedString(m.name, sizeof m.name)
                                                                      : std::to_string(m.value));
        }
    }
    return info;
}

std::optional<TControlInfo> V4l2Device::queryControl(uint32_t id) {
    auto info = query(id);
    if (!info || info->type == ControlType::Other) return std::nullopt;
    return info;
}

std::optional<TControlInfo> V4l2Device::nextControl(uint32_t afterId) {
    uint32_t id = afterId;
    for (;;) {
        auto info = query(id | V4L2_CTRL_FLAG_NEXT_CTRL);
        if (!info || info->id <= id) return std::nullopt;
        if (info->type != ControlType::Other) return info;
        id = info->id;  // class headings, disabled and compound controls
    }
}

std::optional<int32_t> V4l2Device::getControl(uint32_t id) {
    v4l2_control c{};
    c.id = id;
    if (xioctl(VIDIOC_G_CTRL, &c) < 0) return std::nullopt;
    return c.value;
}

bool V4l2Device::setControl(uint32_t id, int32_t value) {
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return xioctl(VIDIOC_S_CTRL, &c) == 0;
}

std::vector<TVideoInput> V4l2Device::inputs() {
    std::vector<TVideoInput> result;
    for (__u32 i = 0;; ++i) {
        v4l2_input in{};
        in.index = i;
        if (xioctl(VIDIOC_ENUMINPUT, &in) < 0) break;
        TVideoInput v;
        v.index = static_cast<int>(i);
        v.name = fixedString(in.name, sizeof in.name);
        v.analog = in.std != 0;
        v.kind = in.type == V4L2_INPUT_TYPE_TUNER ? InputKind::Tuner : InputKind::Other;
        result.push_back(std::move(v));
    }
    return result;
}

bool V4l2Device::setInput(int index) { return xioctl(VIDIOC_S_INPUT, &index) == 0; }

bool V4l2Device::setStandardPalB() {
    v4l2_std_id std = V4L2_STD_PAL_B;
    return xioctl(VIDIOC_S_STD, &std) == 0;
}

// ---------------------------------------------------------------------------
// Controls

namespace {

std::string lower(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return r;
}

// Drivers name their connectors freely; these are the names in use.
InputKind kindOf(const TVideoInput& in) {
    if (in.kind == InputKind::Tuner) return InputKind::Tuner;
    const std::string name = lower(in.name);
    if (name.find("s-video") != std::string::npos || name.find("svideo") != std::string::npos ||
        name.find("s video") != std::string::npos)
        return InputKind::SVideo;
    if (name.find("composite") != std::string::npos) return InputKind::Composite;
    return in.kind;
}

uint32_t amplifierId(Amplifier which) {
    switch (which) {
        case Amplifier::Brightness: return cid::kBrightness;
        case Amplifier::Contrast: return cid::kContrast;
        case Amplifier::Saturation: return cid::kSaturation;
        case Amplifier::Gamma: return cid::kGamma;
    }
    return cid::kBrightness;
}

}  // namespace

TCameraControls::TCameraControls(VideoDevice& device, std::string deviceName)
    : device_(device), evs_(deviceName.find(kEvsCameraName) != std::string::npos) {}

std::optional<TSliderSetting> TCameraControls::slider(uint32_t id, bool reset) {
    const auto info = device_.queryControl(id);
    if (!info) return std::nullopt;
    TSliderSetting s{info->range, info->range.defaultValue};
    if (!reset) s.value = device_.getControl(id).value_or(info->range.defaultValue);
    return s;
}

std::optional<bool> TCameraControls::colour(bool reset) {
    // Colour on is "colour killer off"; a device without a killer may offer
    // the black-and-white colour effect instead.
    for (const uint32_t id : {cid::kColorKiller, cid::kColorEffects}) {
        if (auto s = slider(id, reset)) return s->value == 0;
    }
    return std::nullopt;
}

std::optional<TExposureSetting> TCameraControls::exposure() {
    const auto value = slider(cid::kExposureAbsolute, false);
    if (!value) return std::nullopt;
    TExposureSetting e;
    e.slider = *value;
    if (evs_) e.slider.range = {0, kEvsExposureSteps - 1, 1, e.slider.range.defaultValue};
    if (device_.queryControl(cid::kExposureAuto)) {
        e.automaticAvailable = true;
        e.automatic = device_.getControl(cid::kExposureAuto).value_or(kExposureModeManual) != kExposureModeManual;
    }
    return e;
}

TCameraSettings TCameraControls::read(bool reset) {
    TCameraSettings s;
    s.brightness = slider(cid::kBrightness, reset);
    s.contrast = slider(cid::kContrast, reset);
    s.saturation = slider(cid::kSaturation, reset);
    s.gamma = slider(cid::kGamma, reset);
    s.colour = colour(reset);
    s.exposure = exposure();
    const auto inputs = device_.inputs();
    s.analogInputs = std::any_of(inputs.begin(), inputs.end(), [](const TVideoInput& in) { return in.analog; });
    return s;
}

TCameraSettings TCameraControls::restoreDefaults() {
    TCameraSettings s = read(true);
    const std::pair<Amplifier, const std::optional<TSliderSetting>*> amps[] = {
        {Amplifier::Brightness, &s.brightness},
        {Amplifier::Contrast, &s.contrast},
        {Amplifier::Saturation, &s.saturation},
        {Amplifier::Gamma, &s.gamma},
    };
    for (const auto& [which, setting] : amps) {
        if (*setting) setAmplifier(which, (*setting)->value);
    }
    if (s.colour) setColour(*s.colour);
    return s;
}

void TCameraControls::setAmplifier(Amplifier which, int32_t value) {
    const uint32_t id = amplifierId(which);
    if (device_.queryControl(id)) device_.setControl(id, value);
}

void TCameraControls::setColour(bool enabled) {
    if (device_.queryControl(cid::kColorKiller)) {
        device_.setControl(cid::kColorKiller, enabled ? 0 : 1);
    } else if (device_.queryControl(cid::kColorEffects)) {
        device_.setControl(cid::kColorEffects, enabled ? 0 : 1);
    }
}

void TCameraControls::setExposure(int32_t position, bool automatic) {
    if (!device_.queryControl(cid::kExposureAbsolute)) return;
    const bool hasAuto = device_.queryControl(cid::kExposureAuto).has_value();
    if (automatic) {
        // The value first: most drivers refuse it once automatic is on.
        device_.setControl(cid::kExposureAbsolute, position);
        // Many USB cameras know only "aperture priority" as their automatic.
        if (hasAuto && !device_.setControl(cid::kExposureAuto, kExposureModeAuto)) {
            device_.setControl(cid::kExposureAuto, kExposureModeAperturePriority);
        }
    } else {
        if (hasAuto) device_.setControl(cid::kExposureAuto, kExposureModeManual);
        device_.setControl(cid::kExposureAbsolute, position);
    }
}

std::optional<std::string> TCameraControls::exposureLabel(int32_t position) const {
    if (!evs_ || position < 0 || position >= kEvsExposureSteps) return std::nullopt;
    return std::string(kEvsExposureLabels[position]);
}

bool TCameraControls::selectInput(InputKind kind) {
    const auto inputs = device_.inputs();
    auto it = std::find_if(inputs.begin(), inputs.end(),
                           [kind](const TVideoInput& in) { return in.analog && kindOf(in) == kind; });
    // An analog input with a name of its own ("Video", "CVBS") is composite.
    if (it == inputs.end() && kind == InputKind::Composite) {
        it = std::find_if(inputs.begin(), inputs.end(),
                          [](const TVideoInput& in) { return in.analog && kindOf(in) == InputKind::Other; });
    }
    if (it == inputs.end()) return false;
    // The standard belongs to the input, so it is set after the switch.
    if (!device_.setInput(it->index)) return false;
    device_.setStandardPalB();
    return true;
}

std::vector<TControlInfo> TCameraControls::allControls() {
    std::vector<TControlInfo> result;
    uint32_t id = 0;
    while (auto info = device_.nextControl(id)) {
        if (info->id <= id) break;  // a device that does not advance
        id = info->id;
        if (info->type != ControlType::Button) info->value = device_.getControl(id).value_or(info->range.defaultValue);
        result.push_back(std::move(*info));
    }
    return result;
}

}  // namespace orbis
