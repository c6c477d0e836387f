// M<event>.json written and read back, refused when damaged, and the
// night's FTPdetectinfo file made from two events' files.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "reports/uEventMeasurement.h"
#include "reports/uFrameMeasurement.h"
#include "reports/uFtpDetectInfo.h"
#include "support/RecordingNotifier.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

TEventMeasurement sampleEvent(const std::string& name, const std::string& clipStart, double jd) {
    TEventMeasurement m;
    m.event = name;
    m.camera = "Камера 1";
    m.latitude = 52.43, m.longitude = 30.98, m.height = 152.5;
    m.framesPerSecond = 25;
    m.interlaced = true;
    m.plateRa = 301.25, m.plateDec = 40.5, m.plateScale = 95.3, m.residualRms = 21.7, m.referenceStars = 3;
    m.starResiduals = {10.5, 30.25, 0};
    m.clipStartUtc = clipStart;
    m.clipStartJdUt = jd;
    for (int n = 9; n <= 11; ++n) {
        TFrameMeasurement f;
        f.frame = n;
        f.x = 100 + 10 * n, f.y = 50 + 4 * n;
        f.interpolated = n == 10;
        f.ra = 300.0 + n / 7.0, f.dec = 41.0 - n / 9.0;
        f.azimuth = 270.5 + n, f.altitude = 45.25 - n;
        f.time = (n - 0.5) / 25.0;
        f.jdUt = jd + f.time / 86400;
        f.utc = clipStart.substr(0, 20) + "360Z";
        if (n != 11) f.magnitude = 0.25 * (n - 8), f.brightness = 4000 + n;
        m.frames.push_back(f);
    }
    return m;
}

TEST(EventMeasurement, WrittenAndReadBackUnchanged) {
    test::TempDir dir;
    const TEventMeasurement m = sampleEvent("231000_120", "2024-08-12T23:10:00.120Z", 2460535.4653);
    writeEventMeasurement(dir / "M231000_120.json", m);
    const TEventMeasurement r = readEventMeasurement(dir / "M231000_120.json");
    EXPECT_EQ(r.event, m.event);
    EXPECT_EQ(r.camera, m.camera);
    EXPECT_EQ(r.height, m.height);
    EXPECT_EQ(r.interlaced, m.interlaced);
    EXPECT_EQ(r.plateScale, m.plateScale);
    EXPECT_EQ(r.starResiduals, m.starResiduals);
    EXPECT_EQ(r.clipStartUtc, m.clipStartUtc);
    ASSERT_EQ(r.frames.size(), m.frames.size());
    for (std::size_t i = 0; i < m.frames.size(); ++i) {
        const TFrameMeasurement &a = r.frames[i], &b = m.frames[i];
        // Every real to its last bit: the trajectory works from these.
        EXPECT_EQ(a.frame, b.frame);
        EXPECT_EQ(a.interpolated, b.interpolated);
        EXPECT_EQ(a.ra, b.ra);
        EXPECT_EQ(a.dec, b.dec);
        EXPECT_EQ(a.azimuth, b.azimuth);
        EXPECT_EQ(a.jdUt, b.jdUt);
        EXPECT_EQ(a.time, b.time);
        EXPECT_EQ(a.magnitude, b.magnitude);
        EXPECT_EQ(a.brightness, b.brightness);
    }
    // Written whole: no temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(EventMeasurement, ADamagedFileIsRefusedWithTheFieldNamed) {
    test::TempDir dir;
    const std::filesystem::path file = dir / "M.json";
    writeEventMeasurement(file, sampleEvent("e", "2024-08-12T23:10:00.120Z", 2460535.4653));
    const std::string good = readFileBytes(file);
    const auto refused = [&](const std::string& text) -> std::string {
        writeFileAtomically(file, text);
        try {
            readEventMeasurement(file);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.diagnostic().code(), Code::EventMeasurementDamaged);
            EXPECT_EQ(e.diagnostic().value("file"), file.string());
            return e.diagnostic().value("field");
        }
        ADD_FAILURE() << "accepted: " << text.substr(0, 200);
        return "";
    };
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        const std::size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return t.replace(at, from.size(), to);
    };
    EXPECT_EQ(refused(good.substr(0, good.size() / 2)), "");  // cut off
    EXPECT_EQ(refused("[]"), "");
    EXPECT_EQ(refused(replaced("orbisight-event-measurement", "other")), "format");
    EXPECT_EQ(refused(replaced("\"version\": 1", "\"version\": 2")), "version");
    EXPECT_EQ(refused(replaced("\"latitude\": 52.43", "\"latitude\": 152.43")), "station.latitude");
    EXPECT_EQ(refused(replaced("\"framesPerSecond\": 25.0", "\"framesPerSecond\": \"25\"")), "clip.framesPerSecond");
    EXPECT_EQ(refused(replaced("\"frame\": 10", "\"frame\": 9")), "frames[1].frame");  // twice
    EXPECT_EQ(refused(replaced("\"frame\": 9", "\"frame\": 9.5")), "frames[0].frame");
    EXPECT_EQ(refused(replaced("\"interpolated\": true", "\"interpolated\": 1")), "frames[1].interpolated");
    EXPECT_EQ(refused(replaced("\"utc\": \"2024-08-12T23:10:00.360Z\"", "\"utc\": \"2024-02-30T23:10:00.360Z\"")),
              "frames[0].utc");
    EXPECT_EQ(refused(replaced("\"referenceStars\": 3", "\"referenceStars\": 4")), "plate.residuals");
    EXPECT_EQ(refused(replaced("\"magnitude\": 0.25", "\"magnitude\": 1e308")), "frames[0].magnitude");
    EXPECT_EQ(refused(replaced("\"brightness\": 4009", "\"brightness\": -1")), "frames[0].brightness");
    EXPECT_EQ(refused(replaced("\"dec\": 40.0", "\"dek\": 40.0")), "frames[0].dec");
    EXPECT_THROW(readEventMeasurement(dir / "missing.json"), EInOutError);
}

TEST(EventMeasurement, HorizontalCoordinatesAgreeWithTheStationsOwnNearJ2000) {
    // Near J2000 precession and nutation move a star by hundredths of a
    // degree at most: ERFA's azimuth (from the north through the east) and
    // altitude must then be those of EQUHOR (from the south through the
    // west) at the local mean sidereal time, wherever the star and place.
    for (int k = 0; k < 12; ++k) {
        const double jd = 2451545.0 + 0.37 * k, ra = 30.0 * k + 7, dec = -60.0 + 11 * k;
        const double latitude = k % 2 == 0 ? 52.43 : -33.9, east = k % 3 == 0 ? 30.98 : -70.65;
        const THorizontal h = horizontalOf(ra, dec, jd, latitude, east);
        double altitude = 0, azimuth = 0;
        EQUHOR(dec, LMST(jd - 2400000.5, -east) * 15.0 - ra, latitude, altitude, azimuth);
        EXPECT_NEAR(h.altitude, altitude, 0.03) << k;
        const double dAz = std::fmod(h.azimuth - (azimuth + 180.0) + 540.0, 360.0) - 180.0;
        EXPECT_NEAR(dAz * CS(altitude), 0.0, 0.03) << k;
        EXPECT_TRUE(h.azimuth >= 0 && h.azimuth < 360) << h.azimuth;
    }
}

TEST(FtpDetectInfo, ATwoEventNightInTheNetworksLayout) {
    test::TempDir station;
    const std::string night = (station / "20240812").string();
    std::filesystem::create_directories(night + "/231000_120");
    std::filesystem::create_directories(night + "/231500_000");
    std::filesystem::create_directories(night + "/232000_000");  // no file: not an event of the night
    std::filesystem::create_directories(night + "/233000_000");
    writeEventMeasurement(night + "/231000_120/M231000_120.json",
                          sampleEvent("231000_120", "2024-08-12T20:10:00.120Z", 2460535.34028));
    TEventMeasurement second = sampleEvent("231500_000", "2024-08-12T20:14:59.999Z", 2460535.3437);
    second.frames.resize(1);
    writeEventMeasurement(night + "/231500_000/M231500_000.json", second);
    writeFileAtomically(night + "/233000_000/M233000_000.json", "{\"format\":");
    TConfiguration config;
    config.setName("Cam_1 east");
    config.setTimeZone(3);
    test::RecordingNotifier told;
    const std::string path = writeFtpDetectInfo(night, config, told);
    // The UT when the night's local date began names it.
    EXPECT_EQ(path, night + "/FTPdetectinfo_Cam1east_20240811_210000.txt");
    ASSERT_EQ(told.messages.size(), 1u);  // the damaged event, left out
    EXPECT_NE(told.messages[0].text.find("233000_000"), std::string::npos) << told.messages[0].text;
    const std::vector<std::string> lines = readTextLines(path);
    ASSERT_EQ(lines.size(), 11u + 4 + 3 + 4 + 1);
    EXPECT_EQ(lines[0], "Meteor Count = 000002");
    EXPECT_EQ(lines[4], "FF  folder = 20240812");
    EXPECT_EQ(lines[10], "Per segment:  Frame# Col Row RA Dec Azim Elev Inten Mag");
    EXPECT_EQ(lines[11], std::string(55, '-'));
    EXPECT_EQ(lines[12], "FF_Cam1east_20240812_201000_120_0000000.fits");
    // 21.5 px from frame 9 to 11: 10.8 px a frame.
    EXPECT_EQ(lines[14], "Cam1east 0001 0003 0025.00 000.0 000.0  00.0 010.8 0000.0 0000.0");
    // Frame from the clip's start in frames (the earlier field: .5), RA,
    // Dec, azimuth, elevation, brightness, magnitude.
    EXPECT_EQ(lines[15], "8.5000 0190.00 0086.00 301.2857 +40.0000 279.5000 +36.2500 004009 0.25");
    EXPECT_EQ(lines[17], "10.5000 0210.00 0094.00 301.5714 +39.7778 281.5000 +34.2500 000000 inf");
    EXPECT_EQ(lines[19], "FF_Cam1east_20240812_201459_999_0000000.fits");
    EXPECT_EQ(lines[21].substr(0, 19), "Cam1east 0002 0001 ");
    EXPECT_EQ(lines[22].substr(0, 7), "8.5000 ");
    // Written again, the same file.
    EXPECT_EQ(writeFtpDetectInfo(night, config, told), path);
    EXPECT_EQ(readTextLines(path), lines);
    EXPECT_EQ(networkStationCode("—"), "ORBIS");
}

}  // namespace
}  // namespace orbis
