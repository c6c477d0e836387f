#include "app/cli/uCliStation.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliNotifier.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/media/uCameraControls.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/uDetector.h"
#include "capture/uMemoryAVI.h"
#include "capture/uRecordingSession.h"
#include "config/uConfiguration.h"

namespace orbis {

namespace {

// Set by SIGINT/SIGTERM; a signal handler can only reach a static flag.
volatile std::sig_atomic_t stopRequested = 0;
extern "C" void onStopSignal(int) { stopRequested = 1; }

// The session drives the GStreamer graph through this.
class GraphControl final : public CaptureGraphControl {
public:
    GraphControl(TCaptureGraph& graph, TCaptureSource source, std::string encoder)
        : graph_(graph), source_(std::move(source)), encoder_(std::move(encoder)) {}
    bool build(const TGraphPlan& plan) override {
        try {
            if (plan.recordingFile.empty()) graph_.build(CaptureMode::Detect, source_);
            else graph_.build(CaptureMode::Record, source_, {plan.recordingFile, encoder_});
            return true;
        } catch (const std::exception& e) {
            error = e.what();
            return false;
        }
    }
    void run() override { graph_.run(); }
    void pause() override { graph_.pause(); }
    void resume() override { graph_.run(); }
    void stop() override { graph_.stop(); }
    bool active() const override { return graph_.state() != GraphState::Empty; }
    std::string error;

private:
    TCaptureGraph& graph_;
    TCaptureSource source_;
    std::string encoder_;
};

constexpr const char* kRecordUsage =
    "usage: orbisight-cli record (--device NAME | --source PIPELINE) [--mode detect|record|preview]\n"
    "         [--duration SECONDS] [--encoder NAME] [--station DIR]\n"
    "\n"
    "Runs a recording session with the station's settings: detect writes one clip per meteor,\n"
    "record writes the whole stream into one AVI file, preview only shows the indicators.\n"
    "Stops at the end of the source, after the duration, or on Ctrl+C / SIGTERM.\n";

}  // namespace

int devicesCommand(std::span<const std::string>, std::ostream& out, std::ostream& err) {
    try {
        const auto devices = videoDevices();
        if (devices.empty()) out << "no video devices\n";
        for (const TMediaDevice& d : devices) {
            out << d.name << "\n";
            for (const TCaptureFormat& f : d.formats) out << "  " << captureFormatText(f) << "\n";
        }
        return 0;
    } catch (const std::exception& e) {
        err << "orbisight-cli devices: " << e.what() << "\n";
        return 1;
    }
}

int encodersCommand(std::span<const std::string>, std::ostream& out, std::ostream& err) {
    try {
        for (const std::string& name : videoEncoderNames()) out << name << "\n";
        return 0;
    } catch (const std::exception& e) {
        err << "orbisight-cli encoders: " << e.what() << "\n";
        return 1;
    }
}

int recordCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err) {
    CliArgs p;
    try {
        p = parseCliArgs(args, {"--device", "--source", "--mode", "--duration", "--encoder", "--station"}, {"--help"});
        if (p.has("--help")) {
            out << kRecordUsage;
            return 0;
        }
        if (p.has("--device") == p.has("--source") || !p.positional.empty()) {
            throw CliUsageError("give either --device or --source");
        }
        const std::string mode = p.value("--mode", "detect");
        if (mode != "detect" && mode != "record" && mode != "preview") throw CliUsageError("unknown mode '" + mode + "'");
        if (p.has("--duration")) parseFloat(p.value("--duration"));
    } catch (const std::exception& e) {
        err << "orbisight-cli record: " << e.what() << "\n\n" << kRecordUsage;
        return 2;
    }
    const std::string station = p.value("--station", std::string(defaultStation));
    const std::string mode = p.value("--mode", "detect");
    const TCaptureSource source =
        p.has("--device") ? TCaptureSource::device(p.value("--device")) : TCaptureSource::pipeline(p.value("--source"));
    const double duration = p.has("--duration") ? parseFloat(p.value("--duration")) : 0.0;

    CliNotifier notifier(err);
    try {
        TConfiguration config;
        config.load(iniFilePath(station));

        // The capture format is known once the graph has negotiated it.
        TCaptureFormat format;
        {
            TCaptureGraph probe;
            probe.build(CaptureMode::Detect, source);
            std::optional<TCaptureFormat> f = probe.pause() ? probe.format() : std::nullopt;
            if (!f) {
                probe.run();
                f = probe.waitForFormat(std::chrono::seconds(5));
            }
            probe.stop();
            if (!f) throw Exception("the source delivers no frames");
            format = *f;
        }
        err << captureFormatText(format) << "\n";
        const TCaptureGeometry geometry = geometryFor(format);

        SystemDetectorClock clock;
        LatestIndicators indicators;
        TClipWriterPool pool(notifier);
        std::atomic<bool> shutdownPosted{false};
        TDetector detector({clock, indicators, pool, [&] { shutdownPosted = true; }});
        TCaptureGraph graph;
        graph.setFrameCallback([&](std::span<const uint8_t> bytes, const TCaptureFormat&) { detector.GrabRecord(bytes); });
        GraphControl control(graph, source, p.value("--encoder"));
        TRecordingSession session(detector, control, clock);
        const TSessionOptions options{mode != "record", mode == "preview"};
        if (!session.start(options, geometry, TSessionSettings::fromConfiguration(config), station)) {
            err << "orbisight-cli record: " << control.error << "\n";
            return 1;
        }
        if (mode == "record") out << "recording " << session.recordingFile() << "\n";

        stopRequested = 0;
        auto oldInt = std::signal(SIGINT, onStopSignal);
        auto oldTerm = std::signal(SIGTERM, onStopSignal);
        const auto started = std::chrono::steady_clock::now();
        std::size_t reported = 0;
        GraphEnd end = GraphEnd::None;
        while (!stopRequested && end == GraphEnd::None) {
            end = graph.waitForEnd(std::chrono::seconds(1));
            if (shutdownPosted.exchange(false)) session.requestShutdown();
            if (!session.running()) break;
            if (const auto i = indicators.latest(); i && mode != "record") {
                out << "level " << i->level << "  noise " << i->noise << "+" << i->raise << "  noise pixels "
                    << i->noisePixels << (i->colour == StateColour::Red ? "  event" : "") << "\n";
            }
            const auto clips = pool.finishedClips();
            for (; reported < clips.size(); ++reported) out << "clip " << clips[reported].fileName << "  " << clips[reported].frames << " frames\n";
            if (duration > 0 && std::chrono::steady_clock::now() - started >= std::chrono::duration<double>(duration)) break;
        }
        session.stop();
        std::signal(SIGINT, oldInt);
        std::signal(SIGTERM, oldTerm);
        pool.waitAll();
        const auto clips = pool.finishedClips();
        for (; reported < clips.size(); ++reported) out << "clip " << clips[reported].fileName << "  " << clips[reported].frames << " frames\n";
        out << clips.size() << " events\n";
        if (end == GraphEnd::Error) {
            err << "orbisight-cli record: " << graph.errorText() << "\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        err << "orbisight-cli record: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace orbis
