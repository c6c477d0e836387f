// The settings file Orbisight.ini (TConfiguration::load and save). Whatever
// loads must save into a file that loads again, and saving that second
// load must write the same file: otherwise an observer's settings drift or
// the station refuses to start after its own save.

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "fuzz/uFuzzSupport.h"

namespace orbis::fuzz {

const char* const kTargetName = "ini";

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    const std::filesystem::path ini = freshScratchFolder() / kIniFileName;

    TConfiguration defaults;
    defaults.load(ini);  // no file: every default
    defaults.save(ini);
    seeds.inputs.push_back(readFile(ini));

    TConfiguration station = defaults;
    station.setObserver("Илья Зябликов");
    station.setName("Watec 902H2 Ultimate");
    station.setLatitude(48.5167);
    station.setPole(true);
    station.setLongitude(135.0667);
    station.setTimeZone(-10);
    station.setCoefX(3, -1.25e-7);
    station.setCoefY(9, 4.5e-12);
    station.save(ini);
    std::string text = readFile(ini);
    seeds.inputs.push_back(text);
    // A hand-edited file: UTF-8 with a byte order mark, comments, LF ends,
    // a key twice and one that is not a setting.
    std::string edited = "\xEF\xBB\xBF; station of the club\n[Observatory]\nlatitude=50,25\nlatitude=51.0\n"
                         "observer=Ірина\n  ; note\nunknownKey=1\n[Camera]\nframeExposure = 0.02\n# end\n";
    seeds.inputs.push_back(edited);
    seeds.tokens = {"[Observatory]", "[Camera]", "[Capture]", "[Processing]", "[Distortion]", "latitude=",
                    "coefX0=", "timeZone=", "=", "[", "]", ";", "#", "\r\n", "<<<END", "\xD0", "\x98"};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::filesystem::path ini = freshScratchFolder() / kIniFileName;
    writeFile(ini, std::string_view(reinterpret_cast<const char*>(data), size));

    TConfiguration config;
    try {
        config.load(ini);
    } catch (const EConvertError&) {
        return 0;  // a float that is not a number: the message names the key
    }

    // Saved over the file itself, so its other keys and comments go through
    // the save as well.
    config.save(ini);
    const std::string first = readFile(ini);
    TConfiguration reloaded;
    try {
        reloaded.load(ini);
    } catch (const EConvertError& e) {
        finding(std::string("the saved settings do not load: ") + e.what());
    }
    reloaded.save(ini);
    const std::string second = readFile(ini);
    check(first == second, "saving the reloaded settings changes the file:\n--- first\n" + first + "\n--- second\n" + second);
    return 0;
}
