#include "app/cli/uCliUnattended.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliDetect.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliSignals.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "app/i18n/uCatalogue.h"
#include "station/uStationStatus.h"
#include "station/uUnattendedStation.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli station (--device NAME|NODE | --source PIPELINE) [--format \"FORMAT [WxH [RATE]]\"]\n"
    "         [--threads N] [--power-off COMMAND] [--station DIR]\n"
    "         [--clock-start \"YYYY-MM-DD hh:nn:ss\" --clock-speed N] [--nights N] [--without-settings]\n"
    "\n"
    "Runs the station unattended for as long as the service runs: detects meteors while the\n"
    "Sun is below sunAltitudeNight at the station's place, and after each night takes every\n"
    "new clip into work, proposes its track, processes the events (--threads at a time,\n"
    "default one per core) and writes the night's summary and R90 export. When the disk has\n"
    "less than minFreeSpaceMB free, the oldest processed nights give up their frames and\n"
    "clips. Every line goes to stdout and to Station.log in the station directory.\n"
    "A bright sky ends the night early; with useAutoShutDown the computer is then powered off\n"
    "after the morning's work (\"systemctl poweroff\", or the --power-off shell command).\n"
    "SIGTERM or Ctrl+C stops it with every clip finished; a restart continues where it was.\n"
    "\n"
    "  --clock-start, --clock-speed  a simulated clock: starts at that local time and runs\n"
    "                 N times faster than real time (tests and rehearsals)\n"
    "  --nights N     ends after N nights and their mornings\n"
    "  --without-settings  runs even when the station directory has no Orbisight.ini, with\n"
    "                 the built-in settings (a place at 52.43 N, 30.98 E); refused otherwise\n"
    "\n"
    "At the start the set-up is checked as `orbisight-cli check` does and the findings are\n"
    "logged. Only one station runs on a directory: a second one is refused, naming the\n"
    "first one's PID.\n";

constexpr const char* kStatusUsage =
    "usage: orbisight-cli status [--station DIR]\n"
    "\n"
    "Writes status.json and status.html into the station directory, as the unattended\n"
    "station does after each night and morning, and prints the JSON: the version, whether\n"
    "a station runs there, the last night's dusk and dawn, every recent night's clips,\n"
    "reports, failed events and events waiting for marking or for their morning, the free\n"
    "disk, the clock's synchronisation and the journal's last problem (docs/status.md).\n";

}  // namespace

int statusCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs p;
    try {
        p = parseCliArgs(args, {"--station"}, {"--help"});
        if (p.has("--help")) {
            out << kStatusUsage;
            return kExitDone;
        }
        if (!p.positional.empty()) throw CliUsageError(cli::kTakesNoFiles, {{"command", "status"}});
    } catch (const std::exception& e) {
        err << "orbisight-cli status: " << words.failure(e) << "\n\n" << kStatusUsage;
        return kExitUsage;
    }
    const std::string station = p.value("--station", std::string(defaultStation));
    try {
        const TConfiguration config = stationConfiguration(station, err, words);
        TStationClock clock(config.timeZone());
        const TStationStatus status =
            stationStatus(station, config, clock.localNow(), systemClockState(), systemFreeSpace(station));
        writeStationStatus(station, status);
        out << statusJson(status);
        return kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli status: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

int stationCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs p;
    TUnattendedOptions options;
    // The log's problems in the system's language.
    options.wording = [words = std::make_shared<const TCatalogue>(systemLanguage())](const TDiagnostic& d) {
        return words->text(d);
    };
    std::optional<TDateTime> clockStart;
    double speed = 1.0;
    try {
        p = parseCliArgs(args,
                         {"--device", "--source", "--format", "--threads", "--power-off", "--station", "--clock-start",
                          "--clock-speed", "--nights"},
                         {"--help", "--without-settings"});
        if (p.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (p.has("--device") == p.has("--source") || !p.positional.empty())
            throw CliUsageError(cli::kDeviceOrSource);
        options.source = p.has("--device") ? TCaptureSource::device(p.value("--device"))
                                           : TCaptureSource::pipeline(p.value("--source"));
        if (p.has("--format")) options.source.format = parseFormatSpec(p.value("--format"));
        if (p.has("--clock-start")) clockStart = parseStartTime(p.value("--clock-start"));
        if (p.has("--clock-speed")) {
            if (!clockStart) throw CliUsageError(cli::kGoesWith, {{"option", "--clock-speed"}, {"other", "--clock-start"}});
            speed = parseFloat(p.value("--clock-speed"));
            if (!(speed > 0)) throw CliUsageError(cli::kMoreThanZero, {{"option", "--clock-speed"}});
        }
        if (p.has("--threads")) {
            const int threads = parseInt(p.value("--threads"));
            if (threads < 1) throw CliUsageError(cli::kAtLeastOne, {{"option", "--threads"}});
            options.threads = static_cast<unsigned>(threads);
        }
        if (p.has("--nights")) {
            options.mornings = parseInt(p.value("--nights"));
            if (options.mornings < 1) throw CliUsageError(cli::kAtLeastOne, {{"option", "--nights"}});
        }
    } catch (const std::exception& e) {
        err << "orbisight-cli station: " << words.failure(e) << "\n\n" << kUsage;
        return kExitUsage;
    }
    const std::string station = p.value("--station", std::string(defaultStation));
    if (p.has("--power-off")) {
        options.powerOff = [command = p.value("--power-off")] {
            [[maybe_unused]] const int rc = std::system(command.c_str());
        };
    }
    options.stopRequested = [] { return stopSignal() != 0; };
    options.onLine = [&out](const std::string& line) { out << line << "\n" << std::flush; };

    CliNotifier notifier(err, language);
    const StopSignals signals;
    try {
        std::error_code ec;
        requireStationDirectory(station);
        // A station left with the built-in place would publish another sky's positions all season.
        if (!std::filesystem::exists(iniFilePath(station), ec) && !p.has("--without-settings"))
            throw CliConfigurationError(TDiagnostic(Code::StationSettingsMissing)
                                            .with("file", std::string(kIniFileName))
                                            .with("directory", station));
        const TConfiguration config = stationConfiguration(station, err, words);
        TStationClock clock = clockStart ? TStationClock(*clockStart, speed) : TStationClock(config.timeZone());
        const TUnattendedEnd end = runUnattendedStation(config, station, clock, options, notifier);
        out << words.say(cli::kStationEnd, {{"nights", std::to_string(end.nights)},
                                            {"mornings", std::to_string(end.mornings)},
                                            {"failed", std::to_string(end.failedEvents)}})
            << "\n";
        return kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli station: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
