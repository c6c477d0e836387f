#include "app/cli/uCliNetworkDemo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>

#include "astro/uUniUtils.h"
#include "measurement/uTrackProposal.h"
#include "network/uTrajectoryReport.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "reports/uEventMeasurement.h"
#include "station/uClipIntake.h"
#include "station/uEventProcessing.h"
#include "station/uFileDetection.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kJdOfDateTimeZero = 2415018.5;

TSimStation station(std::string name, const TGeodetic& centre, double bearing, double distanceKm, double height) {
    // On the sphere about the begin point's ground point: a few hundred
    // metres off at these distances, which only moves the station.
    const double r = 6371.0;
    TSimStation s;
    s.name = std::move(name);
    s.place = {centre.latitude + distanceKm * std::cos(bearing * kDeg) / r / kDeg,
               centre.longitude + distanceKm * std::sin(bearing * kDeg) / (r * std::cos(centre.latitude * kDeg)) / kDeg,
               height};
    return s;
}

// The station's recording taken as the unattended station takes it: the
// detector over the recording, its one event clip into work, the proposed
// track, processing. The event directory, or the reason there is none.
std::string processRecording(const TSimStationTruth& truth, const TConfiguration& config, UserNotifier& notifier,
                             std::string& problem) {
    const TDetectionRun detected =
        runDetection(truth.clip.clipPath, truth.directory, truth.clip.localStart, config, notifier);
    if (detected.clips.size() != 1) {
        problem = std::to_string(detected.clips.size()) + " events detected for one meteor";
        return "";
    }
    const std::string event = takeClipIntoWork(detected.clips[0].fileName, "1", std::nullopt, notifier).targetDirectory;
    if (writeProposedTrack(event, config, false) != TrackProposalOutcome::Written) {
        problem = "the track proposal found no meteor";
        return "";
    }
    processEvent(event, config, truth.directory, notifier);
    if (!fs::exists(eventFiles(event).stem + ".json")) {
        problem = "no measurement (M<event>.json)";
        return "";
    }
    return event;
}

double separation(double ra1, double dec1, double ra2, double dec2) {
    return std::acos(std::clamp(dot(directionOf(ra1, dec1), directionOf(ra2, dec2)), -1.0, 1.0)) / kDeg;
}

}  // namespace

std::vector<TDemoNetwork> demoNetworks(const std::string& catalogDirectory) {
    TSimSettings camera;
    camera.catalogPath = joinPath(catalogDirectory, "c50.dat");
    camera.limitingMagnitude = 5.0;

    std::vector<TDemoNetwork> out;
    // Two stations on either side of a steady 40 km/s meteor from the
    // north-east, progressive cameras a little rolled.
    TDemoNetwork pair{"pair", {}};
    TSimFlight& a = pair.network.flight;
    a.begin = {52.55, 31.25, 100e3};
    a.endHeight = 82e3;
    a.speed = 40e3;
    a.radiantAzAlt = std::pair{60.0, 45.0};
    a.utBegin = encodeDateTime({2024, 8, 12, 23, 5, 0, 0}) + 0.37 / 86400;
    a.peakMagnitude = -1;
    TSimStation west = station("west", a.begin, 290, 55, 180);
    west.rollDegrees = 8;
    west.framePhase = 0.013;
    west.seed = 11;
    TSimStation south = station("south", a.begin, 170, 45, 120);
    south.rollDegrees = -15;
    south.timeZone = 3;
    south.framePhase = 0.031;
    south.seed = 12;
    pair.network.stations = {west, south};
    pair.network.camera = camera;
    out.push_back(pair);

    // Three stations seeing a decelerating meteor: a mirrored camera turned
    // upside down, one delivering fields at 30 frames/s, one with woven
    // interlaced frames through Motion-JPEG.
    TDemoNetwork triple{"triple", {}};
    TSimFlight& b = triple.network.flight;
    b.begin = {52.30, 30.80, 98e3};
    b.endHeight = 80e3;
    b.speed = 30e3;
    b.deceleration = 5e3;
    b.radiantAzAlt = std::pair{200.0, 60.0};
    b.utBegin = encodeDateTime({2024, 8, 13, 0, 12, 30, 0}) + 0.81 / 86400;
    b.peakMagnitude = -1;
    b.lightCurve = TSimLightCurve::Rising;
    TSimStation north = station("northwest", b.begin, 300, 60, 200);
    north.mirrored = true;
    north.rollDegrees = 170;
    north.framePhase = 0.022;
    north.seed = 21;
    TSimStation east = station("east", b.begin, 100, 50, 150);
    east.fields = true;
    east.fps = 30;
    east.rollDegrees = 35;
    east.framePhase = 0.006;
    east.timeZone = 2;
    east.seed = 22;
    TSimStation southwest = station("southwest", b.begin, 230, 70, 90);
    southwest.weave = TSimWeave::UpperFieldFirst;
    southwest.jpegQuality = 90;
    southwest.rollDegrees = -60;
    southwest.framePhase = 0.035;
    southwest.seed = 23;
    triple.network.stations = {north, east, southwest};
    triple.network.camera = camera;
    out.push_back(triple);
    return out;
}

TNetworkRun runNetwork(const TSimNetwork& network, const std::string& directory, const TConfiguration& base,
                       UserNotifier& notifier) {
    TNetworkRun run;
    run.truth = simulateNetwork(network, directory);
    std::vector<TEventMeasurement> measurements;
    for (std::size_t i = 0; i < network.stations.size(); ++i) {
        const TSimStationTruth& truth = run.truth.stations[i];
        const TConfiguration config = stationConfiguration(network.stations[i], network.camera, base);
        config.save(iniFilePath(truth.directory));
        std::string problem;
        const std::string event = processRecording(truth, config, notifier, problem);
        if (event.empty()) {
            run.problems.push_back(truth.name + ": " + problem);
            continue;
        }
        run.events.push_back(event);
        measurements.push_back(readEventMeasurement(eventFiles(event).stem + ".json"));
    }
    try {
        run.trajectory = solveTrajectory(measurements);
        run.file = (fs::path(directory) / ("T" + meteorName(*run.trajectory) + ".json")).string();
        writeFileAtomically(run.file, trajectoryJson(*run.trajectory));
    } catch (const ETrajectoryRefused& e) {
        run.refusal = e.diagnostic();
    }
    return run;
}

TNetworkErrors networkErrors(const TNetworkRun& run, const TSimNetwork& network) {
    TNetworkErrors e;
    if (!run.trajectory) return e;
    const TTrajectory& t = *run.trajectory;
    const TSimFlightPath path(network.flight);
    // Where the meteor was at a time of the solution (it shines from 0 to
    // its duration).
    const auto trueHeight = [&](double jdUtc) {
        const double seconds = std::clamp((jdUtc - path.jdBegin()) * 86400, 0.0, path.duration());
        return earthFixedToGeodetic(path.positionAt(seconds)).height;
    };
    e.beginHeight = (t.begin.place.height - trueHeight(t.begin.jdUtc)) / 1e3;
    e.endHeight = (t.end.place.height - trueHeight(t.end.jdUtc)) / 1e3;
    e.beginAlong = dot(geodeticToEarthFixed(t.begin.place) - path.positionAt(0), path.direction()) / 1e3;
    e.radiant = separation(t.apparentRa, t.apparentDec, run.truth.radiantRa, run.truth.radiantDec);
    e.speed = 100 * (t.initialSpeed - run.truth.speed) / run.truth.speed;
    e.orbit = t.orbit;
    // The true path through the same formulas.
    if (const auto g = geocentricRadiant(run.truth.beginPosition, run.truth.speed * run.truth.direction,
                                         run.truth.jdBegin))
        e.trueOrbit = heliocentricOrbit(g->ra, g->dec, g->speed, run.truth.jdBegin);
    return e;
}

bool withinNetworkBounds(const TNetworkErrors& e) {
    return std::fabs(e.beginHeight) <= 0.5 && std::fabs(e.endHeight) <= 0.5 && e.radiant <= 0.5 &&
           std::fabs(e.speed) <= 2;
}

std::string networkTableHeader() {
    return "network  stations  ground km      conv°  begin km  end km  radiant°  speed %   Δa au    Δe      Δq au   "
           "Δi°    Δω°    ΔΩ°\n";
}

std::string networkTableRow(const std::string& name, const TNetworkRun& run, const TNetworkErrors& e) {
    std::string distances;
    for (const TSimStationTruth& s : run.truth.stations) {
        if (!distances.empty()) distances += '/';
        distances += std::to_string(std::lround(s.groundDistance / 1e3));
    }
    const double convergence =
        run.truth.convergence.empty() ? 0 : *std::max_element(run.truth.convergence.begin(), run.truth.convergence.end());
    char row[512];
    if (!run.trajectory) {
        std::snprintf(row, sizeof row, "%-8s %8zu  %-13s %6.1f  %s\n", name.c_str(), run.truth.stations.size(),
                      distances.c_str(), convergence,
                      run.refusal ? std::string(codeName(run.refusal->code())).c_str() : "not solved");
        return row;
    }
    double da = NAN, de = NAN, dq = NAN, di = NAN, dw = NAN, dn = NAN;
    if (e.orbit && e.trueOrbit) {
        const auto angle = [](double a, double b) { return std::remainder(a - b, 360.0); };
        da = e.orbit->a - e.trueOrbit->a, de = e.orbit->e - e.trueOrbit->e, dq = e.orbit->q - e.trueOrbit->q;
        di = angle(e.orbit->i, e.trueOrbit->i), dw = angle(e.orbit->omega, e.trueOrbit->omega);
        dn = angle(e.orbit->node, e.trueOrbit->node);
    }
    std::snprintf(row, sizeof row,
                  "%-8s %8zu  %-13s %6.1f  %+8.3f  %+6.3f  %8.3f  %+7.2f  %+7.4f %+7.4f %+7.4f %+6.2f %+6.2f %+6.3f\n",
                  name.c_str(), run.truth.stations.size(), distances.c_str(), convergence, e.beginHeight, e.endHeight,
                  e.radiant, e.speed, da, de, dq, di, dw, dn);
    return row;
}

std::string networkTruthLines(const TNetworkRun& run, const TNetworkErrors& e) {
    if (!run.trajectory) return "";
    const TTrajectory& t = *run.trajectory;
    char lines[512];
    std::snprintf(lines, sizeof lines,
                  "  solved: begin %7.3f km  end %7.3f km  radiant %8.4f %+8.4f  speed %7.3f km/s\n"
                  "  true:   begin %7.3f km  end %7.3f km  radiant %8.4f %+8.4f  speed %7.3f km/s\n",
                  t.begin.place.height / 1e3, t.end.place.height / 1e3, t.apparentRa, t.apparentDec,
                  t.initialSpeed / 1e3, t.begin.place.height / 1e3 - e.beginHeight,
                  t.end.place.height / 1e3 - e.endHeight, run.truth.radiantRa, run.truth.radiantDec,
                  run.truth.speed / 1e3);
    return lines;
}

}  // namespace orbis
