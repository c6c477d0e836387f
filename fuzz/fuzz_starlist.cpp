// Star lists of the binding: the identified stars S.txt (findCenterFrame,
// centreOfIdentifiedStars) and a star catalog (listStarsByTime). Input:
// S.txt, then the catalog, split at kPartSeparator. A centre that is
// accepted must be a place in the sky, written into A.txt.

#include <cmath>

#include "astro/sphlib.h"
#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"
#include "fuzz/uFuzzSupport.h"

namespace orbis::fuzz {

const char* const kTargetName = "starlist";

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    // Stars around (100, 40) as a camera of 800 pixels per radian sees them,
    // centred on pixel (320, 240), and one misidentified star.
    const double ra0 = 100, dec0 = 40, scale = 800;
    std::vector<std::string> lines;
    for (int i = 0; i < 9; ++i) {
        const double ra = ra0 - 9 + 2.3 * i, dec = dec0 + 6 * std::sin(i * 1.7);
        double xi = 0, eta = 0;
        EQUSTD(ra0, dec0, ra, dec, xi, eta);
        lines.push_back(floatToText(ra) + "|" + floatToText(dec) + "|" + std::to_string(std::lround(320 + scale * xi)) +
                        "|" + std::to_string(std::lround(240 - scale * eta)) + "|" + formatFloat("0.00", 1 + 0.3 * i, '.') +
                        "|Star " + std::to_string(i) + "|K0");
    }
    lines.push_back("104.5|38.25|12|455|2.80|Wrong|A0");
    std::string sTxt;
    for (const std::string& line : lines) sTxt += line + "\r\n";
    const std::string catalog =
        "# RA_deg Dec_deg Vmag Name SpectralClass\r\n101.287083|-16.716111|-1.46|Sirius|A1Vm\r\n"
        "279.234735|38.783689|0.03|Vega|A0Va\r\n88.792939|7.407064|0.50|Betelgeuse|M1-2Ia-Iab\r\n";
    seeds.inputs.push_back(joinParts({sTxt, catalog}));
    seeds.inputs.push_back(joinParts({sTxt.substr(0, sTxt.size() / 2), catalog}));
    // One star damaged: a declination far off the sphere, a lost field that
    // shifts the columns, values that are no numbers or beyond any picture.
    const std::string& good = lines[4];
    const std::size_t decEnd = good.find('|', good.find('|') + 1);
    const std::string ra = good.substr(0, good.find('|')), afterDec = good.substr(decEnd);
    for (const std::string& bad : {ra + "|2147483648" + afterDec, ra + afterDec, "nan|" + good.substr(ra.size() + 1),
                                   ra + "|inf" + afterDec, ra + "|40|1e308|240|2.00|Star|K0"}) {
        std::string damaged;
        for (const std::string& line : lines) damaged += (&line == &good ? bad : line) + "\r\n";
        seeds.inputs.push_back(joinParts({damaged, catalog}));
    }
    seeds.tokens = {"CENTER", "|0|0|", "|-90|", "|90|", "|360|", "\xCA\xE0\xEF\xE5\xEB\xEB\xE0"};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::vector<std::string> parts = splitParts(std::string_view(reinterpret_cast<const char*>(data), size), 2);
    const std::filesystem::path event = freshScratchFolder() / "20240812" / "234107_120";
    const std::string sTxt = (event / "M234107_120S.txt").string();
    const std::string aTxt = (event / "M234107_120A.txt").string();
    writeFile(sTxt, parts[0]);
    const std::string catalogPath = (event.parent_path() / "c40.dat").string();
    writeFile(catalogPath, parts[1]);

    TConfiguration config;
    config.load(event / "absent.ini");  // the defaults
    SilentNotifier notifier;

    try {
        (void)centreOfIdentifiedStars(sTxt);
    } catch (const EConvertError&) {
    }
    try {
        const std::optional<TSkyPoint> centre = findCenterFrame(sTxt, std::nullopt, config, notifier);
        std::error_code ec;
        const bool written = std::filesystem::exists(aTxt, ec);
        check(centre.has_value() == written, "A.txt written without a centre or a centre without A.txt");
        if (centre) {
            check(std::isfinite(centre->ra) && std::isfinite(centre->dec),
                  "an accepted frame centre is not a place in the sky: " + floatToText(centre->ra) + ", " +
                      floatToText(centre->dec));
            const std::vector<std::string> a = readTextLines(aTxt);
            check(!a.empty() && a.back().ends_with("|CENTER|CENTER"), "A.txt does not end with its centre line");
        }
    } catch (const EConvertError&) {
    }

    try {
        for (double theta : {0.0, 137.5}) {
            for (const TStarInfo& star : listStarsByTime(catalogPath, theta, 52.43, notifier)) {
                check(std::isfinite(star.RA) && std::isfinite(star.Dec), "a catalog star that is not a number");
            }
        }
    } catch (const EConvertError&) {
    }
    return 0;
}
