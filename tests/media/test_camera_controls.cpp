// The camera controls against a device made of a table of controls and
// inputs, which records every value sent to it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "astro/uExceptions.h"
#include "capture/media/uCameraControls.h"

namespace orbis {
namespace {

class FakeDevice final : public VideoDevice {
public:
    std::map<uint32_t, TControlInfo> controls;  // value = the device's current value
    std::vector<TVideoInput> deviceInputs;
    std::vector<std::pair<uint32_t, int32_t>> sets;
    std::vector<int32_t> refusedValues;  // of the automatic-exposure menu
    int currentInput = -1;
    int palBCalls = 0;

    void add(uint32_t id, TControlRange range, int32_t value, ControlType type = ControlType::Integer) {
        TControlInfo c;
        c.id = id;
        c.name = "control " + std::to_string(id);
        c.type = type;
        c.range = range;
        c.value = value;
        controls[id] = c;
    }

    std::optional<TControlInfo> queryControl(uint32_t id) override {
        auto it = controls.find(id);
        if (it == controls.end()) return std::nullopt;
        return it->second;
    }
    std::optional<TControlInfo> nextControl(uint32_t afterId) override {
        auto it = controls.upper_bound(afterId);
        if (it == controls.end()) return std::nullopt;
        TControlInfo c = it->second;
        c.value = 0;  // the query does not carry the value
        return c;
    }
    std::optional<int32_t> getControl(uint32_t id) override {
        auto it = controls.find(id);
        if (it == controls.end()) return std::nullopt;
        return it->second.value;
    }
    bool setControl(uint32_t id, int32_t value) override {
        auto it = controls.find(id);
        if (it == controls.end()) return false;
        if (id == cid::kExposureAuto && std::count(refusedValues.begin(), refusedValues.end(), value)) return false;
        sets.emplace_back(id, value);
        it->second.value = value;
        return true;
    }
    std::vector<TVideoInput> inputs() override { return deviceInputs; }
    bool setInput(int index) override {
        if (index < 0 || index >= static_cast<int>(deviceInputs.size())) return false;
        currentInput = index;
        return true;
    }
    bool setStandardPalB() override {
        ++palBCalls;
        return true;
    }
};

// A typical USB camera: amplifier, colour killer, exposure with automatic.
FakeDevice usbCamera() {
    FakeDevice d;
    d.add(cid::kBrightness, {-64, 64, 1, 0}, 10);
    d.add(cid::kContrast, {0, 95, 1, 32}, 40);
    d.add(cid::kSaturation, {0, 100, 1, 64}, 70);
    d.add(cid::kGamma, {100, 300, 1, 100}, 150);
    d.add(cid::kColorKiller, {0, 1, 1, 0}, 1, ControlType::Boolean);
    d.add(cid::kExposureAuto, {0, 3, 1, 3}, kExposureModeManual, ControlType::Menu);
    d.add(cid::kExposureAbsolute, {1, 5000, 1, 156}, 300);
    return d;
}

TEST(CameraControls, ReadsRangesAndCurrentValues) {
    FakeDevice d = usbCamera();
    TCameraControls c(d, "USB Camera");
    const TCameraSettings s = c.read(false);
    ASSERT_TRUE(s.brightness && s.contrast && s.saturation && s.gamma);
    EXPECT_EQ(s.brightness->range.minimum, -64);
    EXPECT_EQ(s.brightness->range.maximum, 64);
    EXPECT_EQ(s.brightness->value, 10);
    EXPECT_EQ(s.contrast->value, 40);
    EXPECT_EQ(s.gamma->range.minimum, 100);
    ASSERT_TRUE(s.colour);
    EXPECT_FALSE(*s.colour);  // killer on
    ASSERT_TRUE(s.exposure);
    EXPECT_EQ(s.exposure->slider.range.maximum, 5000);
    EXPECT_EQ(s.exposure->slider.value, 300);
    EXPECT_FALSE(s.exposure->automatic);
    EXPECT_TRUE(d.sets.empty()) << "reading sends nothing";
}

TEST(CameraControls, MissingControlsAreAbsentAndSettersDoNothing) {
    FakeDevice d;
    d.add(cid::kBrightness, {0, 255, 1, 128}, 128);
    TCameraControls c(d, "Bare Camera");
    const TCameraSettings s = c.read(false);
    EXPECT_TRUE(s.brightness);
    EXPECT_FALSE(s.contrast || s.saturation || s.gamma || s.colour || s.exposure);
    EXPECT_FALSE(s.analogInputs) << "a USB camera without analog decoder leaves \"Вход видео\" disabled";
    c.setAmplifier(Amplifier::Gamma, 5);
    c.setColour(false);
    c.setExposure(3, false);
    EXPECT_FALSE(c.selectInput(InputKind::Composite));
    EXPECT_TRUE(d.sets.empty());
    EXPECT_EQ(d.currentInput, -1);
}

TEST(CameraControls, DefaultsAreShownAndSentToTheDevice) {
    FakeDevice d = usbCamera();
    TCameraControls c(d, "USB Camera");
    const TCameraSettings s = c.restoreDefaults();
    EXPECT_EQ(s.brightness->value, 0);
    EXPECT_EQ(s.contrast->value, 32);
    EXPECT_EQ(s.saturation->value, 64);
    EXPECT_EQ(s.gamma->value, 100);
    EXPECT_TRUE(*s.colour);
    EXPECT_EQ(s.exposure->slider.value, 300) << "exposure keeps its current value";
    EXPECT_EQ(d.controls[cid::kBrightness].value, 0);
    EXPECT_EQ(d.controls[cid::kContrast].value, 32);
    EXPECT_EQ(d.controls[cid::kSaturation].value, 64);
    EXPECT_EQ(d.controls[cid::kGamma].value, 100);
    EXPECT_EQ(d.controls[cid::kColorKiller].value, 0);
    EXPECT_EQ(d.controls[cid::kExposureAbsolute].value, 300);
}

TEST(CameraControls, AmplifierAndColourGoToTheirControls) {
    FakeDevice d = usbCamera();
    TCameraControls c(d, "USB Camera");
    c.setAmplifier(Amplifier::Saturation, 12);
    c.setAmplifier(Amplifier::Gamma, 222);
    c.setColour(true);
    EXPECT_EQ(d.sets, (std::vector<std::pair<uint32_t, int32_t>>{
                          {cid::kSaturation, 12}, {cid::kGamma, 222}, {cid::kColorKiller, 0}}));
}

TEST(CameraControls, ColourFallsBackToTheBlackAndWhiteEffect) {
    FakeDevice d;
    d.add(cid::kColorEffects, {0, 15, 1, 0}, 1, ControlType::Menu);
    TCameraControls c(d, "Camera");
    EXPECT_EQ(c.read(false).colour, std::optional<bool>(false));
    c.setColour(true);
    EXPECT_EQ(d.controls[cid::kColorEffects].value, 0);
}

TEST(CameraControls, ManualExposureSwitchesModeBeforeTheValue) {
    FakeDevice d = usbCamera();
    d.controls[cid::kExposureAuto].value = kExposureModeAperturePriority;
    TCameraControls c(d, "USB Camera");
    EXPECT_TRUE(c.read(false).exposure->automatic);
    c.setExposure(777, false);
    EXPECT_EQ(d.sets, (std::vector<std::pair<uint32_t, int32_t>>{{cid::kExposureAuto, kExposureModeManual},
                                                                  {cid::kExposureAbsolute, 777}}));
    EXPECT_FALSE(c.read(false).exposure->automatic);
}

TEST(CameraControls, AutomaticExposureFallsBackToAperturePriority) {
    FakeDevice d = usbCamera();
    d.refusedValues = {kExposureModeAuto};  // as most UVC cameras
    TCameraControls c(d, "USB Camera");
    c.setExposure(50, true);
    EXPECT_EQ(d.controls[cid::kExposureAuto].value, kExposureModeAperturePriority);
    EXPECT_EQ(d.controls[cid::kExposureAbsolute].value, 50);
    EXPECT_TRUE(c.read(false).exposure->automatic);
}

TEST(CameraControls, EvsCameraHasTwentyFiveLabelledSteps) {
    FakeDevice d = usbCamera();
    d.controls[cid::kExposureAbsolute].value = 14;
    TCameraControls evs(d, "EVS USB2 Digital Video Camera #2");
    ASSERT_TRUE(evs.isEvsCamera());
    const auto e = evs.read(false).exposure;
    ASSERT_TRUE(e);
    EXPECT_EQ(e->slider.range.minimum, 0);
    EXPECT_EQ(e->slider.range.maximum, 24);
    EXPECT_EQ(e->slider.value, 14);
    EXPECT_EQ(evs.exposureLabel(0), "10 us");
    EXPECT_EQ(evs.exposureLabel(10), "80ms");
    EXPECT_EQ(evs.exposureLabel(14), "1.3 sec");
    EXPECT_EQ(evs.exposureLabel(24), "24 min");
    EXPECT_FALSE(evs.exposureLabel(25));
    EXPECT_FALSE(evs.exposureLabel(-1));

    TCameraControls other(d, "USB Camera");
    EXPECT_FALSE(other.exposureLabel(10));
    EXPECT_EQ(other.read(false).exposure->slider.range.maximum, 5000);
}

TEST(CameraControls, InputsAreChosenByKindOnPalB) {
    FakeDevice d;
    d.deviceInputs = {{0, "Television", InputKind::Tuner, true},
                      {1, "Composite1", InputKind::Other, true},
                      {2, "S-Video", InputKind::Other, true}};
    TCameraControls c(d, "Capture card");
    EXPECT_TRUE(c.read(false).analogInputs);
    ASSERT_TRUE(c.selectInput(InputKind::SVideo));
    EXPECT_EQ(d.currentInput, 2);
    ASSERT_TRUE(c.selectInput(InputKind::Tuner));
    EXPECT_EQ(d.currentInput, 0);
    ASSERT_TRUE(c.selectInput(InputKind::Composite));
    EXPECT_EQ(d.currentInput, 1);
    EXPECT_EQ(d.palBCalls, 3);
}

TEST(CameraControls, UnnamedAnalogInputCountsAsComposite) {
    FakeDevice d;
    d.deviceInputs = {{0, "Camera 1", InputKind::Other, false}, {1, "Video", InputKind::Other, true}};
    TCameraControls c(d, "Grabber");
    ASSERT_TRUE(c.selectInput(InputKind::Composite));
    EXPECT_EQ(d.currentInput, 1);
    EXPECT_FALSE(c.selectInput(InputKind::SVideo));
    EXPECT_EQ(d.currentInput, 1);
}

TEST(CameraControls, AllControlsListsEveryControlWithItsValue) {
    FakeDevice d = usbCamera();
    d.add(0x00980913, {0, 0, 0, 0}, 0, ControlType::Button);  // a button: no value to read
    TCameraControls c(d, "USB Camera");
    const auto all = c.allControls();
    ASSERT_EQ(all.size(), d.controls.size());
    for (const auto& info : all) {
        const auto& expected = d.controls.at(info.id);
        EXPECT_EQ(info.value, expected.value) << info.name;
        EXPECT_EQ(info.range.maximum, expected.range.maximum) << info.name;
    }
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](auto& a, auto& b) { return a.id < b.id; }));
}

TEST(V4l2Device, MissingNodeRaises) {
    EXPECT_THROW(V4l2Device("/nonexistent/video99"), EInOutError);
}

// A node that answers no video request: every control is absent, nothing raises.
TEST(V4l2Device, NodeWithoutVideoRequestsHasNoControls) {
    V4l2Device node("/dev/null");
    TCameraControls c(node, "USB Camera");
    const TCameraSettings s = c.read(false);
    EXPECT_FALSE(s.brightness || s.contrast || s.saturation || s.gamma || s.colour || s.exposure);
    EXPECT_FALSE(s.analogInputs);
    EXPECT_TRUE(c.allControls().empty());
    EXPECT_FALSE(node.setControl(cid::kBrightness, 1));
    EXPECT_FALSE(node.setStandardPalB());
}

}  // namespace
}  // namespace orbis
