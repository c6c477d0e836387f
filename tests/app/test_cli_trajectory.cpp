#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "SimulatedNetwork.h"
#include "TempDir.h"
#include "app/cli/uCliTrajectory.h"
#include "astro/uExceptions.h"

namespace orbis {
namespace {

namespace fs = std::filesystem;
using test::measure;
using test::SimulatedMeteor;
using test::stationAround;

// The measurements stand in memory; the command finds them by their files' paths.
struct Network {
    test::TempDir dir;
    std::map<fs::path, TEventMeasurement> files;

    fs::path add(const std::string& night, const TEventMeasurement& m) {
        const fs::path event = dir / night / m.event;
        fs::create_directories(event);
        const fs::path file = event / ("M" + m.event + ".json");
        std::ofstream(file) << "{}";
        files[file] = m;
        return event;
    }
    TMeasurementReader reader() const {
        return [this](const fs::path& file) {
            const auto it = files.find(file);
            if (it == files.end()) throw EInOutError("no such file: " + file.string());
            return it->second;
        };
    }
    int run(std::vector<std::string> args, std::string& out, std::string& err) const {
        std::ostringstream o, e;
        const int status = trajectoryCommand(args, o, e, Language::English, reader());
        out = o.str(), err = e.str();
        return status;
    }
};

TEST(CliTrajectory, SolvesEventsAndNights) {
    Network net;
    SimulatedMeteor meteor;
    const TGeodetic a = stationAround(meteor.begin, 200, 50e3), b = stationAround(meteor.begin, 20, 60e3);
    const fs::path ea = net.add("A", measure(meteor, {"011200_000", a}, 1));
    const fs::path eb = net.add("B", measure(meteor, {"011200_001", b}, 2));
    const fs::path output = net.dir / "out";

    std::string out, err;
    ASSERT_EQ(net.run({ea.string(), eb.string() + "/", "--output", output.string()}, out, err), 0) << err;
    EXPECT_NE(out.find("Begin:"), std::string::npos);
    EXPECT_TRUE(fs::exists(output / "T20240810_011200.json")) << out;

    // Both stations on the path's own vertical plane: refused, no figures, no file.
    SimulatedMeteor along = meteor;
    along.jdBegin += 0.01, along.radiantAzimuth = 180;
    const fs::path fa = net.add("A", measure(along, {"012600_000", stationAround(along.begin, 180, 60e3)}, 3));
    const fs::path fb = net.add("B", measure(along, {"012600_001", stationAround(along.begin, 180, 120e3)}, 4));
    EXPECT_EQ(net.run({fa.string(), fb.string(), "--output", (net.dir / "refused").string()}, out, err), 1);
    EXPECT_EQ(out, "");
    EXPECT_NE(err, "");
    EXPECT_TRUE(fs::is_empty(net.dir / "refused"));

    // The nights: the pair solved; the events on one plane are no pair.
    const fs::path nights = net.dir / "nights";
    ASSERT_EQ(net.run({"--nights", (net.dir / "A").string(), (net.dir / "B").string(), "--output", nights.string()},
                      out, err),
              0)
        << err;
    std::ifstream table(nights / "trajectories.txt");
    const std::string text((std::istreambuf_iterator<char>(table)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("T20240810_011200.json"), std::string::npos) << text;
    EXPECT_TRUE(fs::exists(nights / "T20240810_011200.json"));

    EXPECT_EQ(net.run({ea.string()}, out, err), 2);
    EXPECT_EQ(net.run({ea.string(), (net.dir / "none").string()}, out, err), 2);  // not there
}

}  // namespace
}  // namespace orbis
