#pragma once
// The adjustments of the recording page: brightness, contrast, saturation,
// gamma, colour, exposure (automatic or not), the analog video input and the
// television standard, all sent straight to the capture device and never
// stored in the configuration.
//
// TCameraControls works on a VideoDevice; V4l2Device is the real one on a
// /dev/videoN node, a test puts a fake in its place. A control the device
// does not have is reported absent and its setter does nothing; results of
// the device calls never raise.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orbis {

enum class ControlType { Integer, Boolean, Menu, IntegerMenu, Button, Other };

struct TControlRange {
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t step = 1;
    int32_t defaultValue = 0;
};

// One control of the device, as the property list of the video parameters
// dialog shows and edits it.
struct TControlInfo {
    uint32_t id = 0;
    std::string name;
    ControlType type = ControlType::Integer;
    TControlRange range;
    int32_t value = 0;       // current value (the default when unreadable, 0 for buttons)
    bool readOnly = false;
    bool inactive = false;   // present but without effect now (e.g. exposure under automatic)
    std::vector<std::pair<int32_t, std::string>> menu;  // index and name of each menu entry
};

enum class InputKind { Tuner, Composite, SVideo, Other };

struct TVideoInput {
    int index = 0;
    std::string name;
    InputKind kind = InputKind::Other;
    bool analog = false;  // the input carries a television standard
};

// Control ids, with the values of the kernel's video interface (checked
// against its header where it is used).
namespace cid {
inline constexpr uint32_t kBrightness = 0x00980900;
inline constexpr uint32_t kContrast = 0x00980901;
inline constexpr uint32_t kSaturation = 0x00980902;
inline constexpr uint32_t kGamma = 0x00980910;
inline constexpr uint32_t kColorKiller = 0x0098091e;   // 1 = colour off
inline constexpr uint32_t kColorEffects = 0x0098091f;  // 0 none, 1 black and white
inline constexpr uint32_t kExposureAuto = 0x009a0901;  // menu, see below
inline constexpr uint32_t kExposureAbsolute = 0x009a0902;
}  // namespace cid
inline constexpr int32_t kExposureModeAuto = 0;
inline constexpr int32_t kExposureModeManual = 1;
inline constexpr int32_t kExposureModeAperturePriority = 3;

// The device as the controls use it.
class VideoDevice {
public:
    virtual ~VideoDevice() = default;
    // The control, or nothing when the device lacks it (or has it disabled).
    virtual std::optional<TControlInfo> queryControl(uint32_t id) = 0;
    // The first control whose id is above afterId, in the device's order;
    // nothing after the last.
    virtual std::optional<TControlInfo> nextControl(uint32_t afterId) = 0;
    virtual std::optional<int32_t> getControl(uint32_t id) = 0;
    virtual bool setControl(uint32_t id, int32_t value) = 0;
    virtual std::vector<TVideoInput> inputs() = 0;
    virtual bool setInput(int index) = 0;
    virtual bool setStandardPalB() = 0;
};

// A V4L2 device node, open while the object lives.
class V4l2Device final : public VideoDevice {
public:
    // Raises EInOutError when the node cannot be opened.
    explicit V4l2Device(const std::string& path);
    ~V4l2Device() override;
    V4l2Device(const V4l2Device&) = delete;
    V4l2Device& operator=(const V4l2Device&) = delete;

    std::optional<TControlInfo> queryControl(uint32_t id) override;
    std::optional<TControlInfo> nextControl(uint32_t afterId) override;
    std::optional<int32_t> getControl(uint32_t id) override;
    bool setControl(uint32_t id, int32_t value) override;
    std::vector<TVideoInput> inputs() override;
    bool setInput(int index) override;
    bool setStandardPalB() override;

private:
    std::optional<TControlInfo> query(uint32_t id);
    int xioctl(unsigned long request, void* arg);
    int fd_ = -1;
};

inline constexpr std::string_view kEvsCameraName = "EVS USB2 Digital Video Camera";

// Exposure texts of the EVS camera, one per step of its 0..24 scale.
inline constexpr int kEvsExposureSteps = 25;
extern const char* const kEvsExposureLabels[kEvsExposureSteps];

// A track-bar control: its range and the value to show.
struct TSliderSetting {
    TControlRange range;
    int32_t value = 0;
};

struct TExposureSetting {
    TSliderSetting slider;     // 0..24 with the device value for the EVS camera, else the device's range
    bool automatic = false;    // the check box "АвтоВыдержка"
    bool automaticAvailable = false;
};

// What the recording page shows of the device.
struct TCameraSettings {
    std::optional<TSliderSetting> brightness, contrast, saturation, gamma;
    std::optional<bool> colour;
    std::optional<TExposureSetting> exposure;  // nothing: exposure disabled, automatic checked
    bool analogInputs = false;                 // "Вход видео" enabled
};

enum class Amplifier { Brightness, Contrast, Saturation, Gamma };

class TCameraControls {
public:
    // deviceName is the name the device list shows; it singles out the EVS
    // camera.
    TCameraControls(VideoDevice& device, std::string deviceName);

    // Reads the device. With reset the amplifier values are the device's
    // defaults instead of its current values (the exposure is always the
    // current one).
    TCameraSettings read(bool reset);
    // Sends the amplifier defaults to the device and returns what it shows
    // then ("По умолчанию").
    TCameraSettings restoreDefaults();

    void setAmplifier(Amplifier which, int32_t value);
    void setColour(bool enabled);
    // The exposure at a track-bar position, automatic or manual.
    void setExposure(int32_t position, bool automatic);
    // The EVS camera's text of a track-bar position; nothing for other
    // cameras and positions outside 0..24.
    std::optional<std::string> exposureLabel(int32_t position) const;
    bool isEvsCamera() const { return evs_; }

    // The analog input of a kind, on the PAL-B standard. False when the
    // device has no such input.
    bool selectInput(InputKind kind);

    // Every control of the device with its current value.
    std::vector<TControlInfo> allControls();

private:
    std::optional<TSliderSetting> slider(uint32_t id, bool reset);
    std::optional<bool> colour(bool reset);
    std::optional<TExposureSetting> exposure();

    VideoDevice& device_;
    bool evs_ = false;
};

}  // namespace orbis
