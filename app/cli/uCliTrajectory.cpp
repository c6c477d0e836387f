#include "app/cli/uCliTrajectory.h"

#include <algorithm>
#include <ostream>
#include <set>
#include <vector>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliStationDir.h"
#include "astro/uUniUtils.h"
#include "app/cli/uCliWords.h"
#include "network/uNightPairing.h"
#include "network/uTrajectoryReport.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli trajectory EVENT_A EVENT_B [EVENT_C ...] [--output DIR]\n"
    "       orbisight-cli trajectory --nights NIGHT_A NIGHT_B [NIGHT_C ...] [--output DIR]\n"
    "\n"
    "Solves the path of a meteor seen by two or more stations from their events'\n"
    "measurements (M<event>.json in each event directory; an EVENT may also name the file):\n"
    "the plane of every station, where the planes meet, the begin and end points (latitude,\n"
    "longitude, height), length, speed, apparent and geocentric radiant and the orbit.\n"
    "Prints the result and writes it as T<yyyymmdd_hhmmss>.json (docs/trajectory.md).\n"
    "A path the measurements cannot support (planes meeting at under 3°, times that do not\n"
    "overlap, a station without its place, a path below the ground or above 200 km) is\n"
    "refused with the reason and no figures.\n"
    "\n"
    "--nights takes the night directories of several stations, pairs their events that are\n"
    "the same meteor (frames within 2 s, planes meeting 70 to 130 km up), solves each and\n"
    "writes one T<...>.json per meteor and the table trajectories.txt.\n"
    "\n"
    "  --output DIR   where the files go (default: the current directory)\n"
    "  --station DIR  the station directory (default: the program's directory); it must\n"
    "                 exist, though the trajectory reads none of its settings\n"
    "\n"
    "Exit status: 0 solved (--nights: the nights were read), 1 refused or a file that cannot\n"
    "be read or written, 2 bad arguments or an event or night that is not there.\n";

fs::path measurementFile(const fs::path& event) {
    if (!fs::is_directory(event)) return event;
    const fs::path normal = event.lexically_normal();
    std::string name = normal.filename().string();
    if (name.empty()) name = normal.parent_path().filename().string();  // "EVENT/"
    return event / ("M" + name + ".json");
}

// A file name not yet taken in the folder nor by this run.
fs::path freeName(const fs::path& folder, const std::string& stem, std::set<std::string>& taken) {
    std::string name = "T" + stem;
    for (int n = 2; taken.count(name) != 0; ++n) name = "T" + stem + "_" + std::to_string(n);
    taken.insert(name);
    return folder / (name + ".json");
}

void requireGiven(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) throw CliMissingInput(TDiagnostic(Code::GivenFileMissing).with("file", path.string()));
}

int solveEvents(const std::vector<std::string>& names, const fs::path& output, std::ostream& out, std::ostream& err,
                const CliWords& words, const TMeasurementReader& read) {
    std::vector<TEventMeasurement> events;
    for (const std::string& name : names) {
        requireGiven(measurementFile(name));
        events.push_back(read(measurementFile(name)));
    }
    try {
        const TTrajectory t = solveTrajectory(events);
        std::set<std::string> taken;
        const fs::path file = freeName(output, meteorName(t), taken);
        writeFileAtomically(file, trajectoryJson(t));
        out << trajectoryText(t) << words.say(cli::kTrajectoryWritten, {{"file", file.string()}}) << "\n";
        return kExitDone;
    } catch (const ETrajectoryRefused& e) {
        err << "orbisight-cli trajectory: " << words.failure(e) << "\n";
        return kExitFailed;
    }
}

int solveNightDirectories(const std::vector<std::string>& names, const fs::path& output, std::ostream& out,
                          std::ostream& err, const CliWords& words, const TMeasurementReader& read) {
    std::vector<TStationNight> nights;
    for (const std::string& name : names) requireGiven(name);
    for (const std::string& name : names) {
        // "STATION/NIGHT": the nights of several stations often share their name.
        const fs::path normal = fs::path(name).lexically_normal();
        const fs::path folder = normal.filename().empty() ? normal.parent_path() : normal;
        TStationNight night{(folder.parent_path().filename() / folder.filename()).generic_string(), {}};
        std::vector<fs::path> events;
        for (const fs::directory_entry& entry : fs::directory_iterator(name))
            if (entry.is_directory() && fs::exists(measurementFile(entry.path()))) events.push_back(entry.path());
        std::sort(events.begin(), events.end());
        for (const fs::path& event : events) {
            try {
                night.events.push_back(read(measurementFile(event)));
            } catch (const std::exception& e) {
                // One damaged file leaves the rest of the night.
                err << "orbisight-cli trajectory: " << words.failure(e) << "\n";
            }
        }
        nights.push_back(std::move(night));
    }
    std::vector<TNightMeteor> meteors = solveNights(nights);
    std::set<std::string> taken;
    int solved = 0;
    for (TNightMeteor& m : meteors) {
        if (!m.trajectory) continue;
        const fs::path file = freeName(output, meteorName(*m.trajectory), taken);
        writeFileAtomically(file, trajectoryJson(*m.trajectory));
        m.file = file.filename().string();
        ++solved;
    }
    const std::string table = nightTable(meteors);
    writeFileAtomically(output / "trajectories.txt", table);
    out << table
        << words.say(cli::kNightMeteors, {{"count", std::to_string(meteors.size())},
                                          {"solved", std::to_string(solved)},
                                          {"file", (output / "trajectories.txt").string()}})
        << "\n";
    return kExitDone;
}

}  // namespace

int trajectoryCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language,
                      const TMeasurementReader& read) {
    const CliWords words(language);
    CliArgs parsed;
    try {
        parsed = parseCliArgs(args, {"--output", "--station"}, {"--help", "--nights"});
        if (parsed.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (parsed.positional.size() < 2) throw CliUsageError(parsed.has("--nights") ? cli::kTwoNights : cli::kTwoEvents);
        if (parsed.has("--station")) requireStationDirectory(parsed.value("--station"));
    } catch (const std::exception& e) {
        err << "orbisight-cli trajectory: " << words.failure(e) << "\n";
        if (dynamic_cast<const CliUsageError*>(&e)) err << "\n" << kUsage;
        return exitStatusFor(e);
    }
    const fs::path output = parsed.value("--output", ".");
    try {
        fs::create_directories(output);
        return parsed.has("--nights") ? solveNightDirectories(parsed.positional, output, out, err, words, read)
                                      : solveEvents(parsed.positional, output, out, err, words, read);
    } catch (const std::exception& e) {
        err << "orbisight-cli trajectory: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
