// orbisight-cli: the station without a screen. Each subcommand has --help.

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/uCliDetect.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli <command> [options]\n"
    "\n"
    "commands:\n"
    "  detect   run the meteor detector over a video file and write the event clips\n"
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
    if (command == "detect") return orbis::detectCommand(rest, orbis::executableDirectory(), std::cout, std::cerr);
    std::cerr << "orbisight-cli: unknown command '" << command << "'\n\n" << kUsage;
    return 2;
}
