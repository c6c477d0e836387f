// The work files an event's measurement reads, in the order the processing
// reads them: M.txt with S.txt (attachCatalogMagnitudes), A.txt
// (computeTrackCoordinates, meteorMagnitude, writeEventReport) and the
// radiant catalog (findShower). Input: A.txt, M.txt, S.txt and the radiant
// catalog, split at kPartSeparator.

#include <cmath>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "fuzz/uFuzzSupport.h"
#include "measurement/uEventReport.h"
#include "measurement/uPhotometry.h"
#include "processing/uFrameOps.h"

namespace orbis::fuzz {

const char* const kTargetName = "eventfiles";

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    // Five reference stars, the centre, and a track computed from them
    // (the placeholders "0|0" before computeTrackCoordinates).
    const std::string stars =
        "41.235|12.003|120|88|2.41|Star A|K0\r\n47.885|15.62|402|61|3.05|Star B|G2\r\n"
        "44.1|8.731|250|301|1.87|Star C|A0\r\n39.55|10.2|44|210|3.9|Star D|F5\r\n50.12|9.44|560|260|2.2|Star E|B8\r\n";
    const std::string aTxt = stars + "45.003|11.87|320|240|0.00|CENTER|CENTER\r\n" +
                             "0|0|300|200|4|10320|START|\r\n0|0|380|150|9|57|FINISH|\r\n";
    const std::string computed = stars + "45.003|11.87|320|240|0.00|CENTER|CENTER\r\n" +
                                 "44.62|12.31|300|200|4|10320|START|\r\n47.14|14.01|380|150|9|57|FINISH|\r\n";
    const std::string mTxt = "0|0|120|88|5210|31|2.41\r\n0|0|402|61|2980|22|3.05\r\n0|0|250|301|8800|40|\r\n";
    const std::string raw = "0|0|120|44|5210|31\r\n0|0|402|30|2980|22\r\n0|0|250|150|8800|40\r\n";
    const std::string radiants =
        "No,IAU,Name,Code,Vinf_kms,LsStart,LsEnd,LsMax,RA,Dec,dRA,dDec\r\n"
        "7,7,Perseids,PER,59,120,150,140.0,48.0,58.0,1.35,0.23\r\n"
        "9,4,Geminids,GEM,35,252,265,262.2,113.0,32.0,1.05,-0.15\r\n";
    seeds.inputs.push_back(joinParts({aTxt, mTxt, stars, radiants}));
    seeds.inputs.push_back(joinParts({computed, raw, stars, radiants}));
    // Damaged lines the readers must refuse: a declination far off the
    // sphere, a lost field that shifts the columns, values that are no
    // numbers or beyond any picture.
    const auto damaged = [](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    seeds.inputs.push_back(joinParts({damaged(computed, "47.885|15.62|", "47.885|2147483648|"), raw, stars, radiants}));
    seeds.inputs.push_back(joinParts({damaged(computed, "47.885|15.62|", "47.885|"), raw, stars, radiants}));
    seeds.inputs.push_back(joinParts({damaged(aTxt, "|300|200|", "|nan|200|"), damaged(mTxt, "|5210|", "|inf|"),
                                      damaged(stars, "|2.41|", "|1e308|"), radiants}));
    seeds.inputs.push_back(joinParts({damaged(computed, "|9|57|", "|1000|57|"), damaged(mTxt, "|88|", "|1e308|"),
                                      damaged(stars, "|402|", "|-inf|"), radiants}));
    seeds.tokens = {"START", "FINISH", "CENTER", "|START|", "|CENTER|CENTER", "0|0|", "PER", "\r\n", "|2147483648|",
                    "|nan|", "|inf|", "|1e308|"};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::vector<std::string> parts = splitParts(std::string_view(reinterpret_cast<const char*>(data), size), 4);
    const std::filesystem::path station = freshScratchFolder();
    const std::filesystem::path event = station / "20240812" / "234107_120";
    const std::string stem = (event / "M234107_120").string();
    const std::string aTxt = stem + "A.txt", mTxt = stem + "M.txt", sTxt = stem + "S.txt", report = stem + ".txt";
    writeFile(aTxt, parts[0]);
    writeFile(mTxt, parts[1]);
    writeFile(sTxt, parts[2]);
    writeFile(station / "catalog" / "ULE_J8.csv", parts[3]);

    TConfiguration config;
    config.load(station / "absent.ini");  // the defaults: doubled fields, no distortion
    const TDistortion distortion = TDistortion::fromConfiguration(config);
    const PointMapping map = [&](int& x, int& y) {
        mapTrackPoint(x, y, config.doubleFrameHeight(), false, distortion, nullptr);
    };

    try {
        attachCatalogMagnitudes(mTxt, sTxt, map);
    } catch (const EConvertError&) {
    }
    try {
        const std::size_t before = readTextLines(aTxt).size();
        if (computeTrackCoordinates(aTxt)) check(readTextLines(aTxt).size() == before, "A.txt lost or gained lines");
    } catch (const EConvertError&) {
    }
    double magnitude = kNoMagnitude;
    try {
        magnitude = meteorMagnitude(aTxt, mTxt);
        check(std::isfinite(magnitude), "a magnitude that is not a number: " + floatToText(magnitude));
    } catch (const EConvertError&) {
    }
    try {
        if (writeEventReport(report, magnitude, config, station.string()) == TReportOutcome::Written) {
            const std::vector<std::string> lines = readTextLines(report);
            check(lines.size() == 11, "a report of " + std::to_string(lines.size()) + " lines");
            static const char* const keys[] = {"UT_DATE=", "UT_TIME=", "RA_BEG=", "DEC_BEG=", "RA_END=", "DEC_END=",
                                               "MAGN=",    "VELO=",    "LENG=",   "TIM_FL=",  "SHOWER="};
            for (std::size_t i = 0; i < lines.size(); ++i) {
                check(lines[i].starts_with(keys[i]), "report line " + std::to_string(i + 1) + ": " + lines[i]);
            }
            for (std::size_t i : {7u, 8u, 9u}) {
                check(lines[i].find("NAN") == std::string::npos && lines[i].find("INF") == std::string::npos,
                      "report line " + std::to_string(i + 1) + " is not a number: " + lines[i]);
            }
        }
    } catch (const EConvertError&) {
    }
    return 0;
}
