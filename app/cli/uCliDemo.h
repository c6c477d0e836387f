#pragma once
// `orbisight-cli simulate` renders one event clip of a simulated sky with its
// truth; `orbisight-cli demo` proves the whole station on a simulated night:
// plain recordings with meteors at known places, detection, taking the event
// clips into work, the tracks marked by the automatic proposal, processing,
// the night exports, and a table of computed against true positions.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "app/i18n/uCatalogue.h"

namespace orbis {

struct TDemoOptions {
    std::string station;           // made fresh (a directory the demo made before is cleared)
    std::string catalogDirectory;  // the shipped catalogs
    // Recordings first..recordings-1 of the night's five: the Perseid, two
    // sporadic meteors, a rolled camera (200 degrees), woven interlaced frames.
    int recordings = 5;
    int first = 0;
    double boundArcmin = 5;        // largest error allowed for a start or end point
    // Networks of stations seeing one meteor, after the night: the first
    // `networks` of demoNetworks (two stations, three stations).
    int networks = 0;
};

// Runs the demo, prints the table; returns 0 when every meteor was detected
// once, its track proposed within 3 px of its true heads on the right
// frames, bound within the error and given its shower, and every network's
// trajectory came within its bounds (heights 0.5 km, radiant 0.5°, speed
// 2 %), else 1.
int runDemo(const TDemoOptions& options, std::ostream& out, std::ostream& err);

int demoCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                Language language = Language::English);
int simulateCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                    std::ostream& err, Language language = Language::English);

}  // namespace orbis
