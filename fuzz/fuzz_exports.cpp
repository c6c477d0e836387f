// Event reports as the night exports read them (writeDailySummary,
// writeR90Export, writeMonthlyR90Export). Input: the reports of two events
// of one night, split at kPartSeparator.

#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "fuzz/uFuzzSupport.h"
#include "reports/uNightExports.h"
#include "reports/uReportText.h"

namespace orbis::fuzz {

const char* const kTargetName = "exports";

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    const std::filesystem::path folder = freshScratchFolder();
    const std::vector<std::string> meteor = {"UT_DATE=12.08.2024", "UT_TIME=23:41:07", "RA_BEG=47.113",
                                             "DEC_BEG=57.902",     "RA_END=52.61",     "DEC_END=55.03",
                                             "MAGN=-2.15",         "VELO=21.405",      "LENG=3.614",
                                             "TIM_FL=0.160",       "SHOWER=PER"};
    std::vector<std::string> unmeasured = meteor;
    unmeasured[6] = "MAGN=$";
    unmeasured[10] = "SHOWER=SPO";
    writeTextLines(folder / "a.txt", meteor);
    writeTextLines(folder / "b.txt", unmeasured);
    seeds.inputs.push_back(joinParts({readFile(folder / "a.txt"), readFile(folder / "b.txt")}));
    seeds.inputs.push_back(joinParts({readFile(folder / "a.txt"), "UT_DATE=12.08.2024\r\nSHOWER=Геминиды\r\n"}));
    seeds.tokens = {"=", "==", ",", "\r\n", "MAGN=", "SHOWER="};
    return seeds;
}

}  // namespace orbis::fuzz

namespace {

// Counts what the user is told: one warning per event left out, then the
// completion message.
class CountingNotifier final : public orbis::UserNotifier {
public:
    int messages = 0;
    void message(const std::string&, const std::string&, orbis::MessageIcon) override { ++messages; }
    bool ask(const std::string&, const std::string&) override { return false; }
    void status(const std::string&) override {}
    void progressShow(int) override {}
    void progressPosition(int) override {}
    void progressHide() override {}
    void pump() override {}
};

std::size_t fieldCount(const std::string& line) { return orbis::splitFields(line, ",").size(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::vector<std::string> parts = splitParts(std::string_view(reinterpret_cast<const char*>(data), size), 2);
    const std::filesystem::path station = freshScratchFolder();
    const std::string night = (station / "20240812").string();
    const std::string events[] = {"234107_120", "235512_040"};
    for (std::size_t i = 0; i < 2; ++i) {
        writeFile(station / "20240812" / events[i] / std::string("M").append(events[i]).append(".txt"), parts[i]);
    }
    TConfiguration config;
    config.load(station / "absent.ini");

    // Every event is one line of each export, or is left out of all three
    // with a warning; a value never shifts the columns.
    CountingNotifier told;
    const std::vector<std::string> summary = readTextLines(writeDailySummary(night, station.string(), config, told));
    const std::size_t kept = summary.size() - 1;
    check(told.messages == (kept == 2 ? 1 : 3 - static_cast<int>(kept)), "events left out without a warning");
    for (const std::string& line : summary) check(fieldCount(line) == 16, "a summary line of other columns: " + line);

    CountingNotifier nightly, monthly;
    const std::vector<std::string> r90 = readTextLines(writeR90Export(night, station.string(), config, nightly));
    const std::vector<std::string> month =
        readTextLines(writeMonthlyR90Export(station.string(), "202408", config, monthly));
    check(r90.size() == kept + 1 && month.size() == kept + 1, "the exports disagree on the events they take");
    check(nightly.messages == told.messages && monthly.messages == told.messages, "the exports warn differently");
    for (const std::string& line : r90) check(fieldCount(line) == 22, "an R90 record of other columns: " + line);
    for (const std::string& line : month) check(fieldCount(line) == 22, "an R90 record of other columns: " + line);

    for (const std::string& part : parts) {
        for (const std::string& line : splitLines(part)) {
            check(line.ends_with(reportLineValue(line)), "reportLineValue is not the end of its line");
        }
    }
    return 0;
}
