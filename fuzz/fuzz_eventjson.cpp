// The event's per-frame measurement M<event>.json (readEventMeasurement),
// and the night file made from it. A file the reader accepts must hold its
// ranges, be written back to a file that reads the same, and go into the
// night's FTPdetectinfo; anything else is refused with a conversion error.

#include <cmath>

#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "config/uConfiguration.h"
#include "fuzz/uFuzzSupport.h"
#include "reports/uEventMeasurement.h"
#include "reports/uFtpDetectInfo.h"

namespace orbis::fuzz {

const char* const kTargetName = "eventjson";

namespace {

TEventMeasurement seedEvent(int frames, bool interlaced) {
    TEventMeasurement m;
    m.event = "231000_120";
    m.camera = "Cam1";
    m.latitude = 52.43, m.longitude = -70.65, m.height = 150;
    m.framesPerSecond = 25, m.interlaced = interlaced;
    m.plateRa = 301.25, m.plateDec = 40.5, m.plateScale = 257.8, m.residualRms = 40.2, m.referenceStars = 3;
    m.starResiduals = {12, 40.5, 61};
    m.clipStartUtc = "2024-08-12T23:10:00.120Z";
    m.clipStartJdUt = 2460535.465279;
    for (int n = 9; n < 9 + frames; ++n) {
        TFrameMeasurement f;
        f.frame = n, f.x = 100.0 + 7 * n, f.y = 240.0 - 3 * n, f.interpolated = n % 3 == 0;
        f.ra = 300 + n * 0.1, f.dec = 41 - n * 0.05, f.azimuth = 350 + n, f.altitude = 30 + n * 0.2;
        f.time = (n - (interlaced ? 0.5 : 0)) / 25.0;
        f.jdUt = m.clipStartJdUt + f.time / 86400;
        f.utc = "2024-08-12T23:10:00.480Z";
        if (n % 2 == 0) f.magnitude = 1.5 - n * 0.1, f.brightness = 2000 + n;
        m.frames.push_back(f);
    }
    m.frames.back().azimuth = 1.5;  // across north
    return m;
}

}  // namespace

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    const std::filesystem::path file = freshScratchFolder() / "seed.json";
    for (const auto& [frames, interlaced] : {std::pair{6, false}, std::pair{1, true}}) {
        writeEventMeasurement(file, seedEvent(frames, interlaced));
        seeds.inputs.push_back(readFile(file));
    }
    seeds.tokens = {"null", "true", "false", "1e308", "-1e308", "NaN", "\"\"", "[]", "{}", "\"frame\": ", "\\u0000",
                    "\"magnitude\": null", "2024-02-30T23:10:00.480Z", "18446744073709551615"};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::filesystem::path night = freshScratchFolder() / "20240812";
    const std::filesystem::path file = night / "231000_120" / "M231000_120.json";
    writeFile(file, std::string_view(reinterpret_cast<const char*>(data), size));

    TEventMeasurement m;
    try {
        m = readEventMeasurement(file);
    } catch (const EConvertError& e) {
        check(e.diagnostic().code() == Code::EventMeasurementDamaged, "refused without its code: " + std::string(e.what()));
        return 0;
    }
    check(!m.frames.empty() && m.frames.size() <= 999, "frames out of range");
    for (std::size_t i = 0; i < m.frames.size(); ++i) {
        const TFrameMeasurement& f = m.frames[i];
        check(std::isfinite(f.x) && std::isfinite(f.ra) && f.ra >= 0 && f.ra <= 360 && std::fabs(f.dec) <= 90,
              "an accepted frame outside its ranges");
        check(i == 0 || (f.frame > m.frames[i - 1].frame && f.time > m.frames[i - 1].time), "frames out of order");
    }
    // Written back, it reads the same.
    const std::filesystem::path again = night / "again.json";
    writeEventMeasurement(again, m);
    const TEventMeasurement r = readEventMeasurement(again);
    check(r.frames.size() == m.frames.size() && r.camera == m.camera && r.frames.back().jdUt == m.frames.back().jdUt,
          "written back, it reads otherwise");
    // The night file takes it.
    TConfiguration config;
    SilentNotifier quiet;
    (void)writeFtpDetectInfo(night.string(), config, quiet);
    return 0;
}
