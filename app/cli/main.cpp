// orbisight-cli: the station without a screen. Each subcommand has --help.
// The language of its messages follows the system locale, or --lang.

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliCalibrate.h"
#include "app/cli/uCliCheck.h"
#include "app/cli/uCliDemo.h"
#include "app/cli/uCliDetect.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliExtract.h"
#include "app/cli/uCliProcess.h"
#include "app/cli/uCliRepair.h"
#include "app/cli/uCliStation.h"
#include "app/cli/uCliUnattended.h"
#include "app/cli/uCliTrack.h"
#include "app/cli/uCliTrajectory.h"
#include "app/cli/uCliWords.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"

#ifndef ORBIS_VERSION
#define ORBIS_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli <command> [options]\n"
    "\n"
    "commands:\n"
    "  devices  list the video devices, their formats and controls\n"
    "  encoders list the installed video encoders, or one encoder's settings\n"
    "  record   run a recording session on a device or a GStreamer source\n"
    "  station  run the station unattended: detection from dusk to dawn, the morning's work\n"
    "  status   write and print the station's status (status.json, status.html)\n"
    "  check    check the station's set-up before a night: settings, catalogs, disk, clock\n"
    "  detect   run the meteor detector over a video file and write the event clips\n"
    "  extract  take a clip into work: its frames as F001.bmp, F002.bmp, ...\n"
    "  repair   rebuild the counts and index of a clip whose writer was killed\n"
    "  track    propose an event's meteor track from its frames, or write it (--auto)\n"
    "  process  process event directories: binding, photometry, report, annotated JPEG\n"
    "  summary  write the daily summary of a night\n"
    "  r90      write the UFO R90 export of a night or a month\n"
    "  calibrate fit the lens-distortion coefficients to point pairs\n"
    "  trajectory solve a meteor's path, speed, radiant and orbit from several stations' events\n"
    "  simulate render an event clip of a simulated sky with its truth\n"
    "  demo     simulate a night and run the whole station over it\n"
    "\n"
    "Every command takes --station DIR (default: the program's directory) and --help.\n"
    "Messages are in the system locale's language (Russian under ru_*, else English);\n"
    "--lang ru|en, before or after the command, chooses. --version prints the version.\n"
    "\n"
    "exit status, alike for every command:\n"
    "  0    done (also: nothing to do)\n"
    "  1    the work failed, or part of it (a lost event, a stage that reported a problem)\n"
    "  2    bad arguments, or a directory, clip, file or device given that is not there\n"
    "  3    the station's settings are missing or unusable; `check`: only warnings\n"
    "  128+N  stopped by signal N (130 Ctrl+C, 143 SIGTERM)\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace orbis;
    loadFormatSettingsFromLocale();
    std::vector<std::string> args(argv + 1, argv + argc);
    Language language = systemLanguage();
    try {
        language = takeLanguageOption(args);
    } catch (const CliUsageError& e) {
        std::cerr << "orbisight-cli: " << CliWords(language).failure(e) << "\n\n" << kUsage;
        return kExitUsage;
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "orbisight-cli " << ORBIS_VERSION << "\n";
        return kExitDone;
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << kUsage;
        return args.empty() ? kExitUsage : kExitDone;
    }
    const std::string command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const std::string station = executableDirectory();
    std::ostream& out = std::cout;
    std::ostream& err = std::cerr;
    if (command == "devices") return devicesCommand(rest, out, err, language);
    if (command == "encoders") return encodersCommand(rest, out, err, language);
    if (command == "record") return recordCommand(rest, station, station, out, err, language);
    if (command == "station") return stationCommand(rest, station, out, err, language);
    if (command == "check") return checkCommand(rest, station, out, err, language);
    if (command == "status") return statusCommand(rest, station, out, err, language);
    if (command == "detect") return detectCommand(rest, station, out, err, language);
    if (command == "extract") return extractCommand(rest, out, err, language);
    if (command == "repair") return repairCommand(rest, out, err, language);
    if (command == "track") return trackCommand(rest, station, out, err, language);
    if (command == "process") return processCommand(rest, station, out, err, language);
    if (command == "summary") return summaryCommand(rest, station, out, err, language);
    if (command == "simulate") return simulateCommand(rest, station, out, err, language);
    if (command == "demo") return demoCommand(rest, out, err, language);
    if (command == "calibrate") return calibrateCommand(rest, station, out, err, language);
    if (command == "trajectory") return trajectoryCommand(rest, out, err, language, readEventMeasurement);
    if (command == "r90") return r90Command(rest, station, out, err, language);
    err << "orbisight-cli: " << CliWords(language).say(cli::kUnknownCommand, {{"command", command}}) << "\n\n" << kUsage;
    return kExitUsage;
}
