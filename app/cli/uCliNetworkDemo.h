#pragma once
// The demo's network of stations: one simulated meteor seen by two or three
// stations, each station's recording taken through what every recording
// goes through (detection, the event clip taken into work, the track
// proposal, processing to M<event>.json), then the trajectory of the
// stations' events, compared with the meteor's true path.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "astro/uDiagnostic.h"
#include "astro/uNotifier.h"
#include "config/uConfiguration.h"
#include "network/uTrajectory.h"
#include "sim/uNetworkSimulator.h"

namespace orbis {

struct TDemoNetwork {
    std::string name;
    TSimNetwork network;
};

// The demo's networks: two stations seeing a steady meteor, and three
// stations (a mirrored camera, other rolls, woven interlaced frames) seeing
// a decelerating one. Stars from the catalogs of `catalogDirectory`.
std::vector<TDemoNetwork> demoNetworks(const std::string& catalogDirectory);

// The solution against the truth. Points are held to where the meteor truly
// was at the solved point's time (a head is where the meteor was when its
// frame's exposure ended, so the first frame's head is up to a frame past
// where it lit up); the radiant and the initial speed to the true ones; the
// orbit to the one the same formulas give from the true path.
struct TNetworkErrors {
    double beginHeight = 0, endHeight = 0;  // km, solved less true
    double beginAlong = 0;                  // km: the solved begin from where it lit up, along the path
    double radiant = 0;                     // degrees
    double speed = 0;                       // per cent of the true initial speed, solved less true
    std::optional<TOrbitElements> orbit, trueOrbit;
};

struct TNetworkRun {
    TSimNetworkTruth truth;
    std::vector<std::string> events;   // the event directories, one per station that gave one
    std::vector<std::string> problems; // a station whose recording gave no measurement, and why
    std::optional<TTrajectory> trajectory;
    std::optional<TDiagnostic> refusal;  // why there is no trajectory
    std::string file;                    // T<...>.json, when solved
};

// Renders the network under `directory` (a station directory per station,
// its Orbisight.ini from `base`), processes every station's recording and
// solves the trajectory, writing its JSON into `directory`.
TNetworkRun runNetwork(const TSimNetwork& network, const std::string& directory, const TConfiguration& base,
                       UserNotifier& notifier);

TNetworkErrors networkErrors(const TNetworkRun& run, const TSimNetwork& network);

// Heights within 0.5 km, radiant within 0.5°, initial speed within 2 %.
bool withinNetworkBounds(const TNetworkErrors& errors);

// Rows of the demo's table: the network, its stations, their distances from
// the begin's ground point, the widest convergence, and the errors.
std::string networkTableHeader();
std::string networkTableRow(const std::string& name, const TNetworkRun& run, const TNetworkErrors& errors);
// The solution beside the truth: begin and end heights (the truth's where
// the meteor was at the solved points' times), radiant and initial speed.
std::string networkTruthLines(const TNetworkRun& run, const TNetworkErrors& errors);

}  // namespace orbis
