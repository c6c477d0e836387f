// orbisight-cli: the station without a screen. Each subcommand has --help.

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/uCliCalibrate.h"
#include "app/cli/uCliCheck.h"
#include "app/cli/uCliDemo.h"
#include "app/cli/uCliDetect.h"
#include "app/cli/uCliExtract.h"
#include "app/cli/uCliProcess.h"
#include "app/cli/uCliRepair.h"
#include "app/cli/uCliStation.h"
#include "app/cli/uCliUnattended.h"
#include "app/cli/uCliTrack.h"
#include "app/cli/uCliTrajectory.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"

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
    "Every command takes --station DIR (default: the program's directory) and --help.\n";

}  // namespace

int main(int argc, char** argv) {
    orbis::loadFormatSettingsFromLocale();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const std::string station = orbis::executableDirectory();
    if (command == "devices") return orbis::devicesCommand(rest, std::cout, std::cerr);
    if (command == "encoders") return orbis::encodersCommand(rest, std::cout, std::cerr);
    if (command == "record") return orbis::recordCommand(rest, station, station, std::cout, std::cerr);
    if (command == "station") return orbis::stationCommand(rest, station, std::cout, std::cerr);
    if (command == "check") return orbis::checkCommand(rest, station, std::cout, std::cerr);
    if (command == "status") return orbis::statusCommand(rest, station, std::cout, std::cerr);
    if (command == "detect") return orbis::detectCommand(rest, station, std::cout, std::cerr);
    if (command == "extract") return orbis::extractCommand(rest, std::cout, std::cerr);
    if (command == "repair") return orbis::repairCommand(rest, std::cout, std::cerr);
    if (command == "track") return orbis::trackCommand(rest, station, std::cout, std::cerr);
    if (command == "process") return orbis::processCommand(rest, station, std::cout, std::cerr);
    if (command == "summary") return orbis::summaryCommand(rest, station, std::cout, std::cerr);
    if (command == "simulate") return orbis::simulateCommand(rest, station, std::cout, std::cerr);
    if (command == "demo") return orbis::demoCommand(rest, std::cout, std::cerr);
    if (command == "calibrate") return orbis::calibrateCommand(rest, station, std::cout, std::cerr);
    if (command == "trajectory") return orbis::trajectoryCommand(rest, std::cout, std::cerr, orbis::readEventMeasurement);
    if (command == "r90") return orbis::r90Command(rest, station, std::cout, std::cerr);
    std::cerr << "orbisight-cli: unknown command '" << command << "'\n\n" << kUsage;
    return 2;
}
