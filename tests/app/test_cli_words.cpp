// The command line's words and exit statuses: its sentences in every
// language, the global --lang, the hints for common mistakes, and one
// exit-status table for every command.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "MeteorSample.h"
#include "TempDir.h"
#include "app/cli/uCliArgs.h"
#include "app/cli/uCliCalibrate.h"
#include "app/cli/uCliDetect.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliExtract.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliProcess.h"
#include "app/cli/uCliRepair.h"
#include "app/cli/uCliSourceCheck.h"
#include "app/cli/uCliTrack.h"
#include "app/cli/uCliUnattended.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"

namespace orbis {
namespace {

std::set<std::string> placesOf(const std::string& text) {
    std::set<std::string> places;
    const std::regex place("\\{([a-z]+)\\}");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), place); it != std::sregex_iterator(); ++it)
        places.insert((*it)[1]);
    return places;
}

// Every sentence has its Russian words, with the same places to fill.
TEST(CliWords, EverySentenceIsWordedInRussianWithTheSamePlaces) {
    const CliWords russian(Language::Russian);
    const CliWords english(Language::English);
    ASSERT_FALSE(cliSentences().empty());
    for (const char* sentence : cliSentences()) {
        const std::string ru = russian.say(sentence);
        EXPECT_NE(ru, sentence) << sentence;
        EXPECT_EQ(placesOf(ru), placesOf(sentence)) << sentence;
        EXPECT_EQ(english.say(sentence), sentence);
    }
}

// A few sentences the issue fixes, in both languages.
TEST(CliWords, TheHintsReadAsWrittenInEnglishAndRussian) {
    const TDiagnostic noTrack = TDiagnostic(Code::TrackNotMarked).with("event", "/st/20240812/231001_281");
    EXPECT_EQ(CliWords(Language::English).text(noTrack),
              "/st/20240812/231001_281: no track marked: mark it in the window or run "
              "`orbisight-cli track --auto /st/20240812/231001_281`");
    EXPECT_EQ(CliWords(Language::Russian).text(noTrack),
              "/st/20240812/231001_281: трек не размечен: разметьте его в окне или выполните "
              "`orbisight-cli track --auto /st/20240812/231001_281`");
    const CliWords russian(Language::Russian);
    EXPECT_EQ(russian.say(cli::kReportWritten, {{"event", "E"}}), "E: отчёт сформирован");
    EXPECT_EQ(russian.say(cli::kFindingsCount, {{"errors", "0"}, {"warnings", "2"}}), "ошибок: 0, предупреждений: 2");
    // An argument error keeps its values whatever the language.
    const CliUsageError twice(cli::kGivenTwice, {{"option", "--station"}});
    EXPECT_STREQ(twice.what(), "--station given twice");
    EXPECT_EQ(russian.failure(twice), "--station указан дважды");
    // A text no catalogue words yet is shown as raised.
    EXPECT_EQ(russian.failure(EInOutError("disk full")), "disk full");
}

TEST(CliWords, TheLanguageIsTakenOutOfTheArgumentsBeforeOrAfterTheCommand) {
    using Args = std::vector<std::string>;
    Args args{"--lang", "ru", "track", "E"};
    EXPECT_EQ(takeLanguageOption(args), Language::Russian);
    EXPECT_EQ(args, (Args{"track", "E"}));
    args = {"track", "E", "--lang=en"};
    EXPECT_EQ(takeLanguageOption(args), Language::English);
    EXPECT_EQ(args, (Args{"track", "E"}));
    // After "--" a word is a file name, even one called --lang.
    ::setenv("LC_ALL", "ru_RU.UTF-8", 1);
    args = {"process", "--", "--lang", "en"};
    EXPECT_EQ(takeLanguageOption(args), Language::Russian);
    EXPECT_EQ(args, (Args{"process", "--", "--lang", "en"}));
    ::setenv("LC_ALL", "C", 1);
    args = {"process"};
    EXPECT_EQ(takeLanguageOption(args), Language::English);
    ::unsetenv("LC_ALL");
    for (Args bad : {Args{"--lang", "de", "track"}, Args{"track", "--lang"}, Args{"--lang", "--station", "x"},
                     Args{"--lang", "ru", "--lang=en"}, Args{"--lang=ru_RU"}})
        EXPECT_THROW(takeLanguageOption(bad), CliUsageError) << bad[0] << " " << bad.back();
}

TEST(CliNotifier, WordsDiagnosticsInItsLanguageAndCountsTheProblems) {
    std::ostringstream log;
    CliNotifier n(log, false, Language::Russian);
    const TDiagnostic missing = TDiagnostic(Code::GivenFileMissing).with("file", "/x.avi");
    n.report(missing);
    n.report(TDiagnostic(Code::TrackNotMarked, Severity::Notice).with("event", "E"));
    EXPECT_FALSE(n.question(missing));
    n.record(TDiagnostic(Code::GivenDirectoryMissing).with("directory", "/d"));
    {
        StageStep step(n, TDiagnostic(Code::GivenFileMissing, Severity::Notice).with("file", "F"));
    }
    const CliWords words(Language::Russian);
    const std::string text = log.str();
    EXPECT_NE(text.find("Orbisight (ошибка): " + words.text(missing) + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Orbisight (сообщение): E: "), std::string::npos) << text;
    EXPECT_NE(text.find("Orbisight: " + words.text(missing) + " -> нет\n"), std::string::npos) << text;
    EXPECT_NE(text.find("/d\n"), std::string::npos) << text;
    EXPECT_NE(text.find("F\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("GivenFileMissing"), std::string::npos) << text;  // never the code's bare name
    EXPECT_EQ(n.messagesShown(), 2);
    EXPECT_EQ(n.problemsShown(), 1);
}

TEST(CliSourceCheck, AnUnknownDeviceListsTheDevicesAndAFormatTheFormats) {
    const TCaptureFormat yuy2{"YUY2", 640, 480, 16, 30000, 1001};
    const TCaptureFormat grey{"GRAY8", 0, 0, 8, 0, 1};  // a size range: open
    const std::vector<TMediaDevice> devices = {{"USB Camera", "/dev/video0", {yuy2, grey}},
                                               {"Capture Card", "/dev/video2", {}}};
    TCaptureSource source = TCaptureSource::device("/dev/video9");
    auto problem = deviceSourceProblem(source, devices);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->code(), Code::DeviceNotListed);
    EXPECT_EQ(problem->value("device"), "/dev/video9");
    EXPECT_EQ(problem->value("devices"), "USB Camera (/dev/video0), Capture Card (/dev/video2)");
    EXPECT_EQ(deviceSourceProblem(source, {})->value("devices"), "");

    // Found by node or by name; a format it offers, or one within an open field.
    for (const char* name : {"/dev/video0", "USB Camera"}) {
        source = TCaptureSource::device(name);
        EXPECT_FALSE(deviceSourceProblem(source, devices)) << name;
        for (const char* format : {"YUY2", "YUY2 640x480", "YUY2 640x480 30000/1001", "GRAY8 320x240 25"}) {
            source.format = parseFormatSpec(format);
            EXPECT_FALSE(deviceSourceProblem(source, devices)) << name << " " << format;
        }
    }
    for (const char* format : {"MJPG", "YUY2 720x576", "YUY2 640x480 25", "YUY2 640x480 30"}) {
        source.format = parseFormatSpec(format);
        problem = deviceSourceProblem(source, devices);
        ASSERT_TRUE(problem) << format;
        EXPECT_EQ(problem->code(), Code::FormatNotListed);
        EXPECT_EQ(problem->value("format"), format);
        EXPECT_EQ(problem->value("formats"), "YUY2 640x480 30000/1001, GRAY8");
    }
    // A device that tells no formats, and a pipeline, are not judged.
    source = TCaptureSource::device("Capture Card");
    source.format = parseFormatSpec("MJPG");
    EXPECT_FALSE(deviceSourceProblem(source, devices));
    EXPECT_FALSE(deviceSourceProblem(TCaptureSource::pipeline("videotestsrc"), {}));
}

struct CommandRun {
    int status;
    std::string err;
};

template <typename Command>
CommandRun run(Command command, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, err.str()};
}

// The same mistake ends every command alike: a missing directory, clip or
// file is 2, settings that cannot be used 3, input that is there but
// cannot be worked on 1.
TEST(CliExit, OneTableForEveryCommand) {
    test::TempDir station;
    const std::string missingDir = (station / "none").string();
    const std::string missingClip = (station / "none.avi").string();
    const std::string text = (station / "notes.avi").string();
    std::ofstream(text) << "This is a text file renamed to .avi\n";
    const auto withStation = [&](auto command) {
        return [&, command](std::span<const std::string> a, std::ostream& o, std::ostream& e) {
            return command(a, station.str(), o, e, Language::English);
        };
    };
    const auto plain = [](auto command) {
        return [command](std::span<const std::string> a, std::ostream& o, std::ostream& e) {
            return command(a, o, e, Language::English);
        };
    };
    const auto process = withStation(processCommand);
    const auto track = withStation(trackCommand);
    const auto detect = withStation(detectCommand);
    const auto extract = plain(extractCommand);
    const auto repair = plain(repairCommand);

    EXPECT_EQ(run(process, {missingDir}).status, kExitUsage);
    EXPECT_EQ(run(track, {missingDir}).status, kExitUsage);
    EXPECT_EQ(run(extract, {missingClip}).status, kExitUsage);
    EXPECT_EQ(run(repair, {missingClip}).status, kExitUsage);
    EXPECT_EQ(run(detect, {"--input", missingClip}).status, kExitUsage);
    std::ostringstream out, err;
    EXPECT_EQ(calibrateCommand(std::vector<std::string>{missingClip}, station.str(), out, err), kExitUsage);
    EXPECT_NE(run(repair, {missingClip}).err.find(CliWords().text(TDiagnostic(Code::GivenFileMissing).with("file", missingClip))),
              std::string::npos);

    // Input that is there but is no clip: the work failed.
    EXPECT_EQ(run(extract, {text}).status, kExitFailed);
    EXPECT_EQ(run(repair, {text}).status, kExitFailed);
    EXPECT_EQ(run(detect, {"--input", text}).status, kExitFailed);

    // An event without frames: the clip was not taken into work yet.
    const std::string empty = (station / "event").string();
    std::filesystem::create_directories(empty);
    const CommandRun noFrames = run(track, {empty});
    EXPECT_EQ(noFrames.status, kExitUsage);
    EXPECT_NE(noFrames.err.find("orbisight-cli extract"), std::string::npos) << noFrames.err;

    // A settings path that is a directory; a station without settings.
    std::filesystem::create_directories(iniFilePath(station.path()));
    EXPECT_EQ(run(process, {empty}).status, kExitConfiguration);
    std::filesystem::remove(iniFilePath(station.path()));
    EXPECT_EQ(stationCommand(std::vector<std::string>{"--station", station.str(), "--source", "videotestsrc num-buffers=1"},
                             "/nonexistent", out, err),
              kExitConfiguration);
    EXPECT_EQ(stationCommand(std::vector<std::string>{"--station", missingDir, "--source", "videotestsrc num-buffers=1"},
                             "/nonexistent", out, err),
              kExitUsage);
}

// An event processed without a marked track: the hint names the command
// that marks it, not the track file.
TEST(CliProcess, AnEventWithoutATrackTellsHowToMarkIt) {
    test::TempDir station;
    const test::SampleEvent e =
        test::writeSampleEvent(station.str(), 2, ORBIS_CATALOG_DIR "/c50.dat", {.width = 320, .height = 240, .maxFrames = 4});
    std::filesystem::remove(trackFileName(e.directory));
    TConfiguration config;
    config.setPathToCatalogs(ORBIS_CATALOG_DIR);
    config.save(iniFilePath(station.path()));
    std::ostringstream out, err;
    processCommand(std::vector<std::string>{e.directory, "--station", station.str()}, "/x", out, err, Language::English);
    EXPECT_NE(out.str().find(e.directory + ": no report"), std::string::npos) << out.str();
    const std::string hint = CliWords().text(TDiagnostic(Code::TrackNotMarked).with("event", e.directory));
    EXPECT_NE(err.str().find(hint), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("MeteorTrack.txt"), std::string::npos) << err.str();
}

std::string runProgram(const std::string& command, int& status) {
    std::string text;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    status = pipe ? WEXITSTATUS(::pclose(pipe)) : -1;
    return text;
}

// The program itself: --version, and the language by the locale or --lang.
TEST(CliProgram, VersionAndLanguage) {
    int status = 0;
    const std::string cli = ORBISIGHT_CLI;
    EXPECT_TRUE(runProgram(cli + " --version", status).starts_with("orbisight-cli ")) << status;
    EXPECT_EQ(status, kExitDone);
    const std::string english = runProgram("LC_ALL= LC_MESSAGES= LANG=C " + cli + " track /nonexistent/e", status);
    EXPECT_EQ(status, kExitUsage);
    EXPECT_NE(english.find("no such directory: /nonexistent/e"), std::string::npos) << english;
    const std::string russian = runProgram("LC_ALL= LC_MESSAGES= LANG=ru_RU.UTF-8 " + cli + " track /nonexistent/e", status);
    EXPECT_EQ(status, kExitUsage);
    EXPECT_NE(russian.find("нет такого каталога: /nonexistent/e"), std::string::npos) << russian;
    const std::string chosen = runProgram("LANG=ru_RU.UTF-8 " + cli + " track /nonexistent/e --lang en", status);
    EXPECT_NE(chosen.find("no such directory"), std::string::npos) << chosen;
    EXPECT_NE(runProgram(cli + " --lang ru frobnicate", status).find("неизвестная команда 'frobnicate'"), std::string::npos);
    EXPECT_EQ(status, kExitUsage);
    EXPECT_NE(runProgram(cli + " --help", status).find("exit status"), std::string::npos);
    EXPECT_EQ(status, kExitDone);
}

}  // namespace
}  // namespace orbis
