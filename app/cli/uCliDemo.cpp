#include "app/cli/uCliDemo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliDetect.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliNetworkDemo.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "astro/matlib.h"
#include "astro/sunlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "measurement/uEventReport.h"
#include "measurement/uTrack.h"
#include "measurement/uTrackProposal.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "reports/uNightExports.h"
#include "sim/uSkySimulator.h"
#include "station/uClipIntake.h"
#include "station/uEventProcessing.h"
#include "station/uFileDetection.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDemoMarker = ".orbisight-demo";
// The proposed marks may lie this far from the meteor's true heads.
constexpr double kMarkBoundPixels = 3;

// Unit vector of a sky point, and back.
std::array<double, 3> unit(TSkyPoint p) { return {CS(p.dec) * CS(p.ra), CS(p.dec) * SN(p.ra), SN(p.dec)}; }
TSkyPoint sky(const std::array<double, 3>& v) {
    double ra = ATN2(v[1], v[0]);
    if (ra < 0) ra += 360;
    return {ra, ATN2(v[2], std::hypot(v[0], v[1]))};
}

double separation(TSkyPoint a, TSkyPoint b) { return ACS(SN(a.dec) * SN(b.dec) + CS(a.dec) * CS(b.dec) * CS(a.ra - b.ra)); }

// The point `distance` degrees from `from` on the great circle towards `towards`.
TSkyPoint along(TSkyPoint from, TSkyPoint towards, double distance) {
    const auto a = unit(from), b = unit(towards);
    const double c = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    std::array<double, 3> t{b[0] - c * a[0], b[1] - c * a[1], b[2] - c * a[2]};
    const double n = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
    std::array<double, 3> p{};
    for (std::size_t i = 0; i < 3; ++i) p[i] = a[i] * CS(distance) + t[i] / n * SN(distance);
    return sky(p);
}

// The Perseid radiant at the solar longitude of a UT, from the catalog line.
TSkyPoint perseidRadiant(TDateTime ut, const std::string& radiants) {
    const DateTimeParts t = decodeDateTime(ut);
    double l = 0, b = 0, r = 0;
    SUN200((MJD(t.day, t.month, t.year, t.hour + t.minute / 60.0) - 51544.5) / 36525.0, l, b, r);
    for (const std::string& line : readTextLines(radiants)) {
        if (extractField(line, ",", 4) != "PER") continue;
        const double d = l - parseFloat(extractField(line, ",", 8));
        return {parseFloat(extractField(line, ",", 9)) + parseFloat(extractField(line, ",", 11)) * d,
                parseFloat(extractField(line, ",", 10)) + parseFloat(extractField(line, ",", 12)) * d};
    }
    throw EConvertError("no Perseids in " + radiants);
}

std::string reportValue(const std::vector<std::string>& report, const std::string& key) {
    for (const auto& l : report)
        if (l.starts_with(key + "=")) return l.substr(key.size() + 1);
    return "";
}

struct Recording {
    TSimSettings settings;
    std::string expectedShower;
    TConfiguration config;  // of the camera that made it
};

// Five short recordings of the night of 2024-08-12 (station time = UT): a
// Perseid whose radiant lies five track lengths behind its beginning, two
// sporadic meteors whose tracks point back to no active radiant, one seen by
// a camera rolled upside down and past (200 degrees), and one by a camera
// that delivers woven interlaced frames (its two fields half a frame apart,
// not doubled), a meteor that lights up and goes out within an exposure.
std::vector<Recording> night(const TDemoOptions& o, const TConfiguration& config, const std::string& radiants) {
    auto base = [&](DateTimeParts local) {
        TSimSettings s;
        s.latitude = config.signedLatitude();
        s.longitude = config.signedLongitude();
        s.timeZone = config.timeZone();
        s.localStart = encodeDateTime(local);
        s.frameCount = 60;
        s.catalogPath = joinPath(o.catalogDirectory, "c50.dat");
        s.limitingMagnitude = 5.0;
        s.seed = static_cast<uint32_t>(local.hour * 100 + local.minute);
        // A camera that delivers fields when the station doubles them.
        s.fields = config.doubleFrameHeight();
        return s;
    };
    std::vector<Recording> out;

    Recording perseid{base({2024, 8, 12, 22, 40, 0, 0}), "PER", config};
    const TSkyPoint radiant = perseidRadiant(perseid.settings.localStart - config.timeZone() / 24.0, radiants);
    const TSkyPoint pointing{20, 45};
    perseid.settings.pointingSky = pointing;
    TSimMeteor m;
    m.startSky = along(radiant, pointing, 25);
    m.endSky = along(radiant, pointing, 30);
    m.firstFrame = 25;
    m.frames = 6;
    m.peakMagnitude = 0.5;
    perseid.settings.meteors = {m};
    out.push_back(perseid);

    const std::pair<double, double> pointings[2] = {{330, 50}, {100, 45}};
    // In picture pixels.
    const std::pair<double, double> tracks[2][2] = {{{200, 300}, {330, 250}}, {{420, 120}, {500, 220}}};
    for (int i = 0; i < 2; ++i) {
        Recording spo{base({2024, 8, 12, 23, 10 + 30 * i, 0, 0}), "SPO", config};
        spo.settings.pointingAzAlt = pointings[i];
        TSimMeteor s;
        // Picture rows, and the rows of the frames when they are fields.
        const auto clipPixel = [&](std::pair<double, double> p) {
            return spo.settings.fields ? std::pair{p.first, (p.second - 1) / 2} : p;
        };
        s.startPixel = clipPixel(tracks[i][0]);
        s.endPixel = clipPixel(tracks[i][1]);
        s.firstFrame = 25;
        s.frames = 6;
        s.peakMagnitude = 1.0;
        spo.settings.meteors = {s};
        out.push_back(spo);
    }

    // In picture pixels, each seen from another side of the sky.
    const auto sporadic = [&](DateTimeParts local, std::pair<double, double> azAlt, std::pair<double, double> from,
                              std::pair<double, double> to, const TConfiguration& camera) {
        Recording spo{base(local), "SPO", camera};
        spo.settings.fields = camera.doubleFrameHeight();
        spo.settings.pointingAzAlt = azAlt;
        TSimMeteor s;
        const auto clipPixel = [&](std::pair<double, double> p) {
            return spo.settings.fields ? std::pair{p.first, (p.second - 1) / 2} : p;
        };
        s.startPixel = clipPixel(from);
        s.endPixel = clipPixel(to);
        s.firstFrame = 25;
        s.frames = 7;
        s.peakMagnitude = 0.8;
        spo.settings.meteors = {s};
        return spo;
    };
    Recording rolled = sporadic({2024, 8, 13, 0, 20, 0, 0}, {250, 50}, {160, 150}, {280, 230}, config);
    rolled.settings.rollDegrees = 200;
    out.push_back(rolled);
    TConfiguration progressive = config;
    progressive.setDoubleFrameHeight(false);
    Recording woven = sporadic({2024, 8, 13, 0, 50, 0, 0}, {60, 55}, {400, 320}, {260, 210}, progressive);
    woven.settings.weave = TSimWeave::UpperFieldFirst;
    woven.settings.meteors[0].startPhase = 0.4;
    woven.settings.meteors[0].endPhase = 0.7;
    out.push_back(woven);

    const int last = std::clamp(o.recordings, 1, static_cast<int>(out.size()));
    const int first = std::clamp(o.first, 0, last - 1);
    return {out.begin() + first, out.begin() + last};
}

struct Marks {
    std::pair<int, int> start, end;  // pixels of the frame files
    int startFrame = 0, endFrame = 0;
};

// The track as the unattended station marks it: proposed from the frames and
// saved as MeteorTrack.txt; its marks read back from that file. Nothing when
// the proposal found no meteor.
std::optional<Marks> markTrack(const std::string& eventDirectory, const TConfiguration& config) {
    if (writeProposedTrack(eventDirectory, config, false) != TrackProposalOutcome::Written) return std::nullopt;
    Marks marks;
    for (const std::string& line : readTextLines(trackFileName(eventDirectory))) {
        const auto f = splitFields(line, "|");
        if (f.size() != 7) continue;
        const std::pair point{parseInt(f[2]), parseInt(f[3])};
        (f[6] == "START" ? marks.start : marks.end) = point;
        (f[6] == "START" ? marks.startFrame : marks.endFrame) = parseInt(f[4]);
    }
    return marks;
}

// Pixels between a mark and the true head of the meteor on the frame the
// mark names; infinite when the frame is not the one the head is on.
double markError(const std::pair<int, int>& mark, int markFrame, int trueFrame, std::pair<double, double> head) {
    if (markFrame != trueFrame) return INFINITY;
    return std::hypot(mark.first - head.first, mark.second - head.second);
}

}  // namespace

int runDemo(const TDemoOptions& o, std::ostream& out, std::ostream& err) {
    // A fresh station; only a directory the demo made itself is ever cleared.
    std::error_code ec;
    if (fs::exists(o.station, ec)) {
        if (!fs::exists(fs::path(o.station) / kDemoMarker) && !fs::is_empty(o.station, ec)) {
            err << "orbisight-cli demo: " << o.station << " exists and is not a demo station; not touching it\n";
            return 2;
        }
        fs::remove_all(o.station, ec);
    }
    ensureDirectory(o.station);
    writeFileAtomically(fs::path(o.station) / kDemoMarker, "made by orbisight-cli demo\n");

    TConfiguration config;
    config.setPathToCatalogs(o.catalogDirectory);
    config.save(iniFilePath(o.station));

    CliNotifier notifier(err);
    const std::string radiants = radiantCatalogPath(config, o.station);
    const std::vector<Recording> recordings = night(o, config, radiants);
    bool ok = true;
    std::vector<std::string> nights;  // in the order met
    char row[256];
    // The table is printed whole at the end, after the progress of every step.
    std::ostringstream table;
    // Errors: of the published start and end against the sky at the marked
    // pixels (the astrometry) and against the meteor's true heads (all of
    // it); of the marks against the true heads, in pixels.
    table << "event        shower(exp)  start err'  end err'  true start'  true end'  start px  end px  length°  velo°/s  magn\n";
    for (Recording rec : recordings) {
        TSimTruth truth = simulateClip(rec.settings, o.station);
        // A sporadic meteor must not point back to a radiant active that
        // night: turned round, it comes from the other side.
        const TSimMeteorTruth& m = truth.meteors[0];
        if (rec.expectedShower == "SPO" && findShower(truth.ut, m.endSky.ra, m.endSky.dec, m.startSky.ra,
                                                      m.startSky.dec, radiants) != "SPO") {
            std::swap(rec.settings.meteors[0].startPixel, rec.settings.meteors[0].endPixel);
            fs::remove(truth.clipPath);  // the demo's own clip: a clip is never written over
            truth = simulateClip(rec.settings, o.station);
        }
        const std::string nightDir = fs::path(truth.clipPath).parent_path().string();
        if (std::find(nights.begin(), nights.end(), nightDir) == nights.end()) nights.push_back(nightDir);
        const TDetectionRun run = runDetection(truth.clipPath, o.station, truth.localStart, rec.config, notifier);
        if (run.clips.size() != 1) {
            table << fs::path(truth.clipPath).filename().string() << ": " << run.clips.size()
                << " events detected for one meteor\n";
            ok = false;
            continue;
        }
        const std::string clip = run.clips[0].fileName;
        // Take the clip into work: its event directory.
        const std::string event = takeClipIntoWork(clip, "1", std::nullopt, notifier).targetDirectory;
        // The clip starts nFramesBeforeEvent frames before the declaring frame.
        const TDateTime clipTime = *clipStartTime(clip);
        const int declaring = static_cast<int>(std::lround((clipTime - truth.localStart) * 86400.0 * truth.fps));
        const int firstClipFrame = declaring - rec.config.nFramesBeforeEvent();
        const TSimMeteorTruth& meteor = truth.meteors[0];
        const std::optional<Marks> proposed = markTrack(event, rec.config);
        if (!proposed) {
            table << fs::path(event).filename().string() << ": the track proposal found no meteor\n";
            ok = false;
            continue;
        }
        const Marks& marks = *proposed;
        // The proposal against the true heads on the meteor's first and last
        // frame (when their exposures end; of a woven frame, its later field's).
        const double startMiss = markError(marks.start, marks.startFrame, meteor.firstFrame - firstClipFrame + 1,
                                           meteor.frameHeads.front());
        const double endMiss = markError(marks.end, marks.endFrame, meteor.lastFrame - firstClipFrame + 1,
                                         meteor.frameHeads.back());

        processEvent(event, rec.config, o.station, notifier);
        const std::string reportPath = eventFiles(event).workFile(workSuffix::kReport);
        if (!fs::exists(reportPath)) {
            table << fs::path(event).filename().string() << ": no report\n";
            ok = false;
            continue;
        }
        const auto report = readTextLines(reportPath);
        const TSkyPoint begin{parseFloat(reportValue(report, "RA_BEG")), parseFloat(reportValue(report, "DEC_BEG"))};
        const TSkyPoint end{parseFloat(reportValue(report, "RA_END")), parseFloat(reportValue(report, "DEC_END"))};
        // Against the sky at the marked pixels: what the astrometry is asked.
        const double startError = separation(begin, skyAtClipPixel(truth, marks.start.first, marks.start.second)) * 60;
        const double endError = separation(end, skyAtClipPixel(truth, marks.end.first, marks.end.second)) * 60;
        // Against where the meteor truly was (shown, not judged).
        const auto trueSky = [&](std::pair<double, double> p) { return skyAtClipPixel(truth, p.first, p.second); };
        const double startTruth = separation(begin, trueSky(meteor.frameHeads.front())) * 60;
        const double endTruth = separation(end, trueSky(meteor.frameHeads.back())) * 60;
        const std::string shower = reportValue(report, "SHOWER");
        // Marks are whole pixels of the frame files (a field row is two rows
        // of the picture, 8' with the default lens), so the published
        // position is held to the sky at the marks and the marks to the heads.
        const bool good = startError <= o.boundArcmin && endError <= o.boundArcmin && shower == rec.expectedShower &&
                          startMiss <= kMarkBoundPixels && endMiss <= kMarkBoundPixels;
        ok = ok && good;
        std::snprintf(row, sizeof row, "%-12s %-4s(%-4s)  %9.2f  %8.2f  %11.2f  %9.2f  %8.2f  %6.2f  %7s  %7s  %-5s %s\n",
                      fs::path(event).filename().string().c_str(), shower.c_str(), rec.expectedShower.c_str(), startError,
                      endError, startTruth, endTruth, startMiss, endMiss, reportValue(report, "LENG").c_str(),
                      reportValue(report, "VELO").c_str(), reportValue(report, "MAGN").c_str(), good ? "ok" : "FAILED");
        table << row;
    }
    for (const std::string& nightDir : nights) {
        table << "summary: " << writeDailySummary(nightDir, o.station, config, notifier) << "\n";
        table << "R90:     " << writeR90Export(nightDir, o.station, config, notifier) << "\n";
    }
    // One meteor seen by several stations: each station's recording through
    // the same work, then the trajectory against the true path.
    const std::vector<TDemoNetwork> networks = demoNetworks(o.catalogDirectory);
    for (int i = 0; i < std::min(o.networks, static_cast<int>(networks.size())); ++i) {
        if (i == 0) table << "\n" << networkTableHeader();
        const TDemoNetwork& n = networks[static_cast<std::size_t>(i)];
        const TNetworkRun run = runNetwork(n.network, joinPath(joinPath(o.station, "network"), n.name), config, notifier);
        const TNetworkErrors errors = networkErrors(run, n.network);
        const bool good = run.trajectory && run.problems.empty() && withinNetworkBounds(errors);
        ok = ok && good;
        std::string line = networkTableRow(n.name, run, errors);
        line.insert(line.size() - 1, good ? "  ok" : "  FAILED");
        table << line << networkTruthLines(run, errors);
        for (const std::string& problem : run.problems) table << "  " << problem << "\n";
        if (!run.file.empty()) table << "  " << run.file << "\n";
    }
    notifier.progressHide();
    out << table.str();
    out << (ok ? "demo passed" : "demo FAILED") << "\n";
    return ok ? 0 : 1;
}

int demoCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language) {
    const CliWords words(language);
    constexpr const char* usage =
        "usage: orbisight-cli demo [--station DIR] [--recordings N] [--networks K]   (N = 1..5, default 5; K = 0..2, default 2)\n"
        "\n"
        "Simulates a night of the station (plain recordings with meteors at known places),\n"
        "detects, takes the events into work, marks the tracks by the automatic proposal,\n"
        "processes every event, writes the night exports and prints computed against true\n"
        "positions (and the proposed marks against the meteors' true heads, in pixels).\n"
        "Then K networks of stations see one meteor each (two stations, three stations):\n"
        "every station's recording goes the same way, the trajectory of their events is\n"
        "solved and its heights, radiant, speed and orbit are printed against the truth.\n"
        "Default station: demo-station beside the program.\n";
    TDemoOptions o;
    o.station = joinPath(executableDirectory(), "demo-station");
    o.catalogDirectory = joinPath(executableDirectory(), "catalog");
    o.networks = 2;
    try {
        const CliArgs parsed = parseCliArgs(args, {"--station", "--recordings", "--networks"}, {"--help"});
        if (parsed.has("--help")) {
            out << usage;
            return 0;
        }
        if (!parsed.positional.empty()) throw CliUsageError(cli::kUnknownArgument, {{"argument", parsed.positional[0]}});
        o.station = parsed.value("--station", o.station);
        o.recordings = parseInt(parsed.value("--recordings", "5"));
        o.networks = parseInt(parsed.value("--networks", "2"));
    } catch (const std::exception& e) {
        err << "orbisight-cli demo: " << words.failure(e) << "\n\n" << usage;
        return kExitUsage;
    }
    try {
        return runDemo(o, out, err);
    } catch (const std::exception& e) {
        err << "orbisight-cli demo: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

int simulateCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                    std::ostream& err, Language language) {
    const CliWords words(language);
    constexpr const char* usage =
        "usage: orbisight-cli simulate --local \"YYYY-MM-DD hh:nn:ss[.zzz]\" (--ra R --dec D | --az A --alt H)\n"
        "         [--station DIR] [--roll DEG] [--mirrored] [--distortion K1] [--frames N] [--fps N]\n"
        "         [--width W] [--height H] [--fields | --progressive] [--focal MM] [--scale PX_PER_MM] [--sky LEVEL] [--noise SIGMA] [--psf SIGMA]\n"
        "         [--catalog FILE] [--seed N] [--meteor \"ra1,dec1,ra2,dec2,first,frames,mag\"]...\n"
        "         [--meteor-px \"x1,y1,x2,y2,first,frames,mag\"]\n"
        "\n"
        "Renders <station>/<yyyymmdd>/<hhnnss_zzz>.avi of the station's camera at the local time and\n"
        "writes <hhnnss_zzz>.truth.json beside it. Place, time zone, picture size and whether the\n"
        "camera delivers fields (doubleFrameHeight) come from the station's Orbisight.ini unless\n"
        "given; --fields writes frames of every other picture row (height / 2 rows). Azimuth\n"
        "counts from the south towards the west.\n";
    const std::set<std::string> values = {"--local", "--ra", "--dec", "--az", "--alt", "--station", "--roll",
                                          "--distortion", "--frames", "--fps", "--width", "--height", "--focal",
                                          "--scale", "--sky", "--noise", "--psf", "--catalog", "--seed", "--meteor",
                                          "--meteor-px"};
    try {
        // Meteors may be given more than once: collect them in order first.
        std::vector<std::string> rest, meteorSpecs;
        std::vector<bool> pixelSpec;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if ((a == "--meteor" || a == "--meteor-px") && i + 1 < args.size()) {
                pixelSpec.push_back(a == "--meteor-px");
                meteorSpecs.push_back(args[++i]);
            } else if (a.starts_with("--meteor=") || a.starts_with("--meteor-px=")) {
                pixelSpec.push_back(a.starts_with("--meteor-px="));
                meteorSpecs.push_back(a.substr(a.find('=') + 1));
            } else {
                rest.push_back(a);
            }
        }
        const CliArgs p = parseCliArgs(rest, values, {"--help", "--mirrored", "--fields", "--progressive"});
        if (p.has("--help")) {
            out << usage;
            return 0;
        }
        if (!p.positional.empty()) throw CliUsageError(cli::kUnknownArgument, {{"argument", p.positional[0]}});
        if (!p.has("--local")) throw CliUsageError(cli::kRequired, {{"option", "--local"}});
        const std::string station = p.value("--station", std::string(defaultStation));
        const TConfiguration config = stationConfiguration(station, err, words);
        config.requireInRange({"latitude", "longitude", "timeZone"});
        // The camera's settings only where no option replaces them.
        if (!p.has("--width")) config.requireInRange({"widthCCD"});
        if (!p.has("--height")) config.requireInRange({"heightCCD"});
        if (!p.has("--focal")) config.requireInRange({"focalLength"});
        if (!p.has("--scale")) config.requireInRange({"frameScale"});
        TSimSettings s;
        s.latitude = config.signedLatitude();
        s.longitude = config.signedLongitude();
        s.timeZone = config.timeZone();
        s.localStart = parseStartTime(p.value("--local"));
        if (p.has("--ra") && p.has("--dec")) s.pointingSky = TSkyPoint{parseFloat(p.value("--ra")), parseFloat(p.value("--dec"))};
        else if (p.has("--az") && p.has("--alt")) s.pointingAzAlt = std::pair{parseFloat(p.value("--az")), parseFloat(p.value("--alt"))};
        else throw CliUsageError(cli::kPointingRequired);
        auto real = [&](const char* key, double fallback) { return p.has(key) ? parseFloat(p.value(key)) : fallback; };
        auto whole = [&](const char* key, int fallback) { return p.has(key) ? parseInt(p.value(key)) : fallback; };
        s.rollDegrees = real("--roll", 0);
        s.mirrored = p.has("--mirrored");
        if (p.has("--fields") && p.has("--progressive")) throw CliUsageError(cli::kExcludeEachOther, {{"option", "--fields"}, {"other", "--progressive"}});
        s.fields = p.has("--fields") || (config.doubleFrameHeight() && !p.has("--progressive"));
        s.radialDistortion = real("--distortion", 0);
        s.frameCount = whole("--frames", s.frameCount);
        s.fps = whole("--fps", s.fps);
        s.width = whole("--width", config.widthCCD());
        s.height = whole("--height", config.heightCCD());
        s.focalLength = real("--focal", config.focalLength());
        s.frameScale = real("--scale", config.frameScale());
        s.skyLevel = real("--sky", s.skyLevel);
        s.noiseSigma = real("--noise", s.noiseSigma);
        s.psfSigma = real("--psf", s.psfSigma);
        s.seed = static_cast<uint32_t>(whole("--seed", 1));
        s.catalogPath = p.value("--catalog", joinPath(resolveInProgramDirectory(station, config.pathToCatalogs()), "c50.dat"));
        for (std::size_t i = 0; i < meteorSpecs.size(); ++i) {
            const auto f = splitFields(meteorSpecs[i], ",");
            if (f.size() != 7) throw CliUsageError(cli::kMeteorNumbers, {{"text", meteorSpecs[i]}});
            TSimMeteor m;
            if (pixelSpec[i]) {
                m.startPixel = std::pair{parseFloat(f[0]), parseFloat(f[1])};
                m.endPixel = std::pair{parseFloat(f[2]), parseFloat(f[3])};
            } else {
                m.startSky = TSkyPoint{parseFloat(f[0]), parseFloat(f[1])};
                m.endSky = TSkyPoint{parseFloat(f[2]), parseFloat(f[3])};
            }
            m.firstFrame = parseInt(f[4]);
            m.frames = parseInt(f[5]);
            m.peakMagnitude = parseFloat(f[6]);
            s.meteors.push_back(m);
        }
        const TSimTruth truth = simulateClip(s, station);
        out << truth.clipPath << "\n";
        return 0;
    } catch (const CliUsageError& e) {
        err << "orbisight-cli simulate: " << words.failure(e) << "\n\n" << usage;
        return kExitUsage;
    } catch (const EConvertError& e) {
        // An option's value that is no number or time.
        err << "orbisight-cli simulate: " << words.failure(e) << "\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        err << "orbisight-cli simulate: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
