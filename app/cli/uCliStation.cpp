#include "app/cli/uCliStation.h"

#include <chrono>
#include <cstdlib>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliSignals.h"
#include "app/cli/uCliSourceCheck.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/media/uCameraControls.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/media/uEncoders.h"
#include "capture/uDetector.h"
#include "config/uConfiguration.h"
#include "station/uLiveStation.h"

namespace orbis {

namespace {

constexpr const char* kRecordUsage =
    "usage: orbisight-cli record (--device NAME|NODE | --source PIPELINE) [--mode detect|record|preview]\n"
    "         [--format \"FORMAT [WIDTHxHEIGHT [RATE]]\"] [--duration SECONDS]\n"
    "         [--encoder NAME] [--encoder-settings \"PROPERTY=VALUE ...\"] [--power-off COMMAND]\n"
    "         [--station DIR]\n"
    "\n"
    "Runs a recording session with the station's settings: detect writes one clip per meteor,\n"
    "record writes the whole stream into one AVI file, preview only shows the indicators.\n"
    "--format asks the device for one of the formats `devices` lists. A plain recording is\n"
    "compressed with --encoder, or else with the station's compressor (videoCompress,\n"
    "nameVideoCompress), and stamped with the local time when addTimeStamp is set. Uncompressed,\n"
    "grey, YUY2 and UYVY are stored as they come, RGB in a bitmap's BGR or BGRx order and other\n"
    "YUV as YUY2, so that `extract` takes the recording into work.\n"
    "When the sky turns bright (useAutoShutDown) the session stops and the computer is powered\n"
    "off with \"systemctl poweroff\", or with the shell command given by --power-off.\n"
    "Stops at the end of the source, after the duration, or on Ctrl+C / SIGTERM.\n";

constexpr const char* kEncodersUsage =
    "usage: orbisight-cli encoders [--settings NAME [--encoder-settings \"PROPERTY=VALUE ...\"]] [--station DIR]\n"
    "\n"
    "Lists the installed video encoders a plain recording can use, or with --settings the\n"
    "settings of one of them (after the given ones are applied, to check them).\n";

constexpr const char* kDevicesUsage =
    "usage: orbisight-cli devices [--station DIR]\n"
    "\n"
    "Lists the video devices, the formats each offers (as --format of `record` takes them)\n"
    "and the controls of its V4L2 node.\n";

std::string rangeText(const TControlInfo& c) {
    switch (c.type) {
        case ControlType::Boolean:
            return "on/off";
        case ControlType::Button:
            return "button";
        default:
            return std::to_string(c.range.minimum) + ".." + std::to_string(c.range.maximum);
    }
}

void printControls(const TMediaDevice& d, std::ostream& out) {
    if (d.node.empty()) return;
    out << "  node " << d.node << "\n";
    try {
        V4l2Device device(d.node);
        TCameraControls controls(device, d.name);
        for (const TControlInfo& c : controls.allControls()) {
            out << "  control " << c.name << " = " << c.value << "  (" << rangeText(c) << ", default "
                << c.range.defaultValue << (c.readOnly ? ", read only" : "") << (c.inactive ? ", inactive" : "")
                << ")\n";
            for (const auto& [index, name] : c.menu) out << "    " << index << ": " << name << "\n";
        }
    } catch (const std::exception& e) {
        out << "  controls unavailable: " << e.what() << "\n";
    }
}

}  // namespace

int devicesCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language) {
    const CliWords words(language);
    try {
        const CliArgs p = parseCliArgs(args, {"--station"}, {"--help"});
        if (p.has("--help")) {
            out << kDevicesUsage;
            return kExitDone;
        }
        if (!p.positional.empty()) throw CliUsageError(cli::kUnknownArgument, {{"argument", p.positional[0]}});
        // The devices are the machine's, whatever the station.
        if (p.has("--station")) requireStationDirectory(p.value("--station"));
    } catch (const std::exception& e) {
        err << "orbisight-cli devices: " << words.failure(e) << "\n\n" << kDevicesUsage;
        return kExitUsage;
    }
    try {
        const auto devices = videoDevices();
        if (devices.empty()) out << words.say(cli::kNoVideoDevices) << "\n";
        for (const TMediaDevice& d : devices) {
            out << d.name << "\n";
            for (const TCaptureFormat& f : d.formats)
                out << "  format " << formatSpecText(f) << "  (" << captureFormatText(f) << ")\n";
            printControls(d, out);
        }
        return kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli devices: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

int encodersCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs p;
    TEncoderSettings settings;
    try {
        p = parseCliArgs(args, {"--settings", "--encoder-settings", "--station"}, {"--help"});
        if (p.has("--help")) {
            out << kEncodersUsage;
            return kExitDone;
        }
        if (!p.positional.empty() || (p.has("--encoder-settings") && !p.has("--settings")))
            throw CliUsageError(cli::kGoesWith, {{"option", "--encoder-settings"}, {"other", "--settings"}});
        settings = parseEncoderSettings(p.value("--encoder-settings"));
        if (p.has("--station")) requireStationDirectory(p.value("--station"));
    } catch (const std::exception& e) {
        err << "orbisight-cli encoders: " << words.failure(e) << "\n\n" << kEncodersUsage;
        return kExitUsage;
    }
    try {
        if (!p.has("--settings")) {
            for (const std::string& name : videoEncoderNames()) out << name << "\n";
            return kExitDone;
        }
        for (const TEncoderProperty& e : encoderProperties(p.value("--settings"), settings)) {
            out << e.name << "=" << e.value << "  (" << e.type;
            if (!e.minimum.empty()) out << " " << e.minimum << " .. " << e.maximum;
            if (!e.choices.empty()) {
                out << ":";
                for (const std::string& c : e.choices) out << " " << c;
            }
            out << "; default " << e.defaultValue << ")  " << e.description << "\n";
        }
        return kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli encoders: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

int recordCommand(std::span<const std::string> args, std::string_view defaultStation,
                  std::string_view programDirectory, std::ostream& out, std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs p;
    TCaptureSource source;
    TEncoderSettings encoderSettings;
    try {
        p = parseCliArgs(args,
                         {"--device", "--source", "--mode", "--duration", "--encoder", "--encoder-settings", "--format",
                          "--power-off", "--station"},
                         {"--help"});
        if (p.has("--help")) {
            out << kRecordUsage;
            return kExitDone;
        }
        if (p.has("--device") == p.has("--source") || !p.positional.empty()) {
            throw CliUsageError(cli::kDeviceOrSource);
        }
        const std::string mode = p.value("--mode", "detect");
        if (mode != "detect" && mode != "record" && mode != "preview") throw CliUsageError(cli::kUnknownMode, {{"mode", mode}});
        if (p.has("--duration")) parseFloat(p.value("--duration"));
        source = p.has("--device") ? TCaptureSource::device(p.value("--device"))
                                   : TCaptureSource::pipeline(p.value("--source"));
        if (p.has("--format")) source.format = parseFormatSpec(p.value("--format"));
        encoderSettings = parseEncoderSettings(p.value("--encoder-settings"));
    } catch (const std::exception& e) {
        err << "orbisight-cli record: " << words.failure(e) << "\n\n" << kRecordUsage;
        return kExitUsage;
    }
    const std::string station = p.value("--station", std::string(defaultStation));
    const std::string mode = p.value("--mode", "detect");
    const double duration = p.has("--duration") ? parseFloat(p.value("--duration")) : 0.0;

    CliNotifier notifier(err, language);
    const StopSignals signals;  // before anything is recorded
    try {
        const TConfiguration config = stationConfiguration(station, err, words);
        if (source.isDevice) {
            const std::vector<TMediaDevice> devices = videoDevices();
            if (auto problem = deviceSourceProblem(source, devices)) {
                if (problem->value("devices").empty() && problem->code() == Code::DeviceNotListed)
                    problem->with("devices", words.say(cli::kNone));
                throw CliMissingInput(*problem);
            }
        }
        TLiveStationOptions options;
        options.source = source;
        options.mode = mode == "record" ? LiveMode::Record : mode == "preview" ? LiveMode::Preview : LiveMode::Detect;
        if (p.has("--encoder")) options.encoderName = p.value("--encoder");
        options.encoderSettings = encoderSettings;
        if (p.has("--power-off")) {
            // The operator's own command, run as the station's user.
            options.powerOff = [command = p.value("--power-off")] {
                [[maybe_unused]] const int rc = std::system(command.c_str());
            };
        }
        const std::string brightSky = words.say(cli::kSkyBright);
        options.onBrightSky = [&out, brightSky] { out << brightSky << "\n" << std::flush; };

        TLiveStation live(config, station, std::string(programDirectory), notifier);
        const TCaptureFormat format = live.probe(options);
        err << captureFormatText(format) << "\n";
        live.start(options, format);
        if (mode == "record") out << words.say(cli::kRecording, {{"file", live.recordingFile()}}) << "\n";

        const auto started = std::chrono::steady_clock::now();
        std::size_t reported = 0;
        const auto reportClips = [&](const std::vector<TWrittenClip>& clips) {
            for (; reported < clips.size(); ++reported)
                out << words.say(cli::kClipWritten, {{"file", clips[reported].fileName},
                                                     {"frames", std::to_string(clips[reported].frames)}})
                    << "\n";
        };
        while (stopSignal() == 0 && !live.sourceEnded()) {
            if (!live.poll(std::chrono::seconds(1))) break;
            if (const auto i = live.indicators(); i && mode != "record") {
                out << words.say(i->colour == StateColour::Red ? cli::kIndicatorsEvent : cli::kIndicators,
                                 {{"level", std::to_string(i->level)},
                                  {"noise", std::to_string(i->noise)},
                                  {"raise", std::to_string(i->raise)},
                                  {"pixels", std::to_string(i->noisePixels)}})
                    << "\n";
            }
            reportClips(live.finishedClips());
            if (duration > 0 && std::chrono::steady_clock::now() - started >= std::chrono::duration<double>(duration)) break;
        }
        const std::string recording = live.recordingFile();
        const TLiveStationEnd end = live.stop();
        reportClips(end.clips);
        out << words.say(cli::kEventsCount, {{"count", std::to_string(end.clips.size())}}) << "\n";
        bool lost = false;
        for (const TWrittenClip& c : end.clips) lost = lost || !c.complete;
        if (end.failedFrames > 0) {
            err << "orbisight-cli record: " << words.say(cli::kEventMayBeLost, {{"count", std::to_string(end.failedFrames)}})
                << "\n";
            lost = true;
        }
        if (!end.recordingFinished) {
            err << "orbisight-cli record: " << words.say(cli::kRecordingUnfinished, {{"file", recording}}) << "\n";
            lost = true;
        }
        if (!end.graphError.empty()) {
            err << "orbisight-cli record: " << end.graphError << "\n";
            return kExitFailed;
        }
        return lost ? kExitFailed : kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli record: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
