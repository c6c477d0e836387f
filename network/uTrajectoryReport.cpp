#include "network/uTrajectoryReport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <erfa.h>

namespace orbis {

namespace {

std::string format(const char* pattern, auto... values) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, values...);
    return buffer;
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += format("\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A JSON number with the given decimals and a point whatever the locale (a
// window's process runs under the user's); JSON has no NaN: null.
std::string number(double value, int decimals) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}

std::string pointJson(const TTrajectoryPoint& p) {
    return "{\"utc\": " + jsonString(utcOfJulianDate(p.jdUtc)) + ", \"jd\": " + number(p.jdUtc, 8) +
           ", \"latitude\": " + number(p.place.latitude, 5) + ", \"longitude\": " + number(p.place.longitude, 5) +
           ", \"heightKm\": " + number(p.place.height / 1000, 3) + ", \"distanceKm\": " + number(p.distance / 1000, 3) +
           "}";
}

std::string pointText(const TTrajectoryPoint& p) {
    return format("%s  lat %+.4f  lon %+.4f  height %.2f km", utcOfJulianDate(p.jdUtc).c_str(), p.place.latitude,
                  p.place.longitude, p.place.height / 1000);
}

}  // namespace

std::string utcOfJulianDate(double jdUtc) {
    const double day = std::floor(jdUtc - 0.5) + 0.5;
    int y = 0, m = 0, d = 0, hmsf[4] = {0, 0, 0, 0};
    if (eraD2dtf("UTC", 3, day, jdUtc - day, &y, &m, &d, hmsf) < 0) return "";
    return format("%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", y, m, d, hmsf[0], hmsf[1], hmsf[2], hmsf[3]);
}

std::string meteorName(const TTrajectory& trajectory) {
    const std::string utc = utcOfJulianDate(trajectory.begin.jdUtc);
    if (utc.size() < 19) return "meteor";
    return utc.substr(0, 4) + utc.substr(5, 2) + utc.substr(8, 2) + "_" + utc.substr(11, 2) + utc.substr(14, 2) +
           utc.substr(17, 2);
}

std::string trajectoryText(const TTrajectory& t) {
    std::string s;
    s += "Stations:\n";
    for (const TStationTrack& st : t.stations)
        s += format("  %-24s lat %+.4f  lon %+.4f  %.0f m  %d frames  plane RMS %.0f\"  range %.1f km\n",
                    st.event.c_str(), st.place.latitude, st.place.longitude, st.place.height, st.frames,
                    st.planeResidual, st.rangeBegin / 1000);
    s += "Convergence angles:\n";
    for (const TConvergence& q : t.convergence)
        s += format("  %s - %s  %.1f deg\n", t.stations[q.first].event.c_str(), t.stations[q.second].event.c_str(),
                    q.angle);
    s += "Begin:  " + pointText(t.begin) + "\n";
    s += "End:    " + pointText(t.end) + "\n";
    s += format("Length: %.2f km\n", t.length / 1000);
    s += format("Speed:  %.2f km/s initial, %.2f km/s mean\n", t.initialSpeed / 1000, t.meanSpeed / 1000);
    s += format("Apparent radiant (J2000): RA %.2f  Dec %+.2f  (azimuth %.2f, altitude %.2f)\n", t.apparentRa,
                t.apparentDec, t.apparentAzimuth, t.apparentAltitude);
    if (t.geocentric) {
        const TGeocentricRadiant& g = *t.geocentric;
        s += format("Geocentric radiant (J2000): RA %.2f  Dec %+.2f  v_g %.2f km/s  (v_inf %.2f km/s)\n", g.ra, g.dec,
                    g.speed / 1000, g.speedInfinity / 1000);
    } else {
        s += "Geocentric radiant: none (slower than the escape speed)\n";
    }
    if (t.orbit) {
        const TOrbitElements& o = *t.orbit;
        s += format("Orbit (J2000 ecliptic): a %.3f au  e %.4f  q %.4f au  i %.2f  omega %.2f  node %.4f  v_h %.2f km/s\n",
                    o.a, o.e, o.q, o.i, o.omega, o.node, o.heliocentricSpeed / 1000);
    }
    return s;
}

std::string trajectoryJson(const TTrajectory& t) {
    std::string j = "{\n  \"format\": \"orbisight-trajectory\",\n  \"version\": 1,\n  \"stations\": [";
    for (std::size_t i = 0; i < t.stations.size(); ++i) {
        const TStationTrack& st = t.stations[i];
        j += std::string(i ? ",\n" : "\n") + "    {\"event\": " + jsonString(st.event) +
             ", \"camera\": " + jsonString(st.camera) + ", \"latitude\": " + number(st.place.latitude, 6) +
             ", \"longitude\": " + number(st.place.longitude, 6) + ", \"height\": " + number(st.place.height, 1) +
             ", \"frames\": " + std::to_string(st.frames) +
             ", \"planeResidualArcsec\": " + number(st.planeResidual, 1) +
             ", \"rangeBeginKm\": " + number(st.rangeBegin / 1000, 3) + ",\n     \"begin\": " + pointJson(st.begin) +
             ",\n     \"end\": " + pointJson(st.end) + "}";
    }
    j += "\n  ],\n  \"convergence\": [";
    for (std::size_t i = 0; i < t.convergence.size(); ++i) {
        const TConvergence& q = t.convergence[i];
        j += std::string(i ? ", " : "") + "{\"first\": " + jsonString(t.stations[q.first].event) +
             ", \"second\": " + jsonString(t.stations[q.second].event) + ", \"angle\": " + number(q.angle, 2) + "}";
    }
    j += "],\n";
    j += "  \"begin\": " + pointJson(t.begin) + ",\n";
    j += "  \"end\": " + pointJson(t.end) + ",\n";
    j += "  \"lengthKm\": " + number(t.length / 1000, 3) + ",\n";
    j += "  \"initialSpeedKms\": " + number(t.initialSpeed / 1000, 3) + ",\n";
    j += "  \"meanSpeedKms\": " + number(t.meanSpeed / 1000, 3) + ",\n";
    j += "  \"apparentRadiant\": {\"ra\": " + number(t.apparentRa, 4) + ", \"dec\": " + number(t.apparentDec, 4) +
         ", \"azimuth\": " + number(t.apparentAzimuth, 4) + ", \"altitude\": " + number(t.apparentAltitude, 4) + "},\n";
    if (t.geocentric) {
        const TGeocentricRadiant& g = *t.geocentric;
        j += "  \"geocentricRadiant\": {\"ra\": " + number(g.ra, 4) + ", \"dec\": " + number(g.dec, 4) +
             ", \"speedKms\": " + number(g.speed / 1000, 3) + ", \"speedInfinityKms\": " +
             number(g.speedInfinity / 1000, 3) + ", \"zenithObserved\": " + number(g.zenithObserved, 3) +
             ", \"zenithGeocentric\": " + number(g.zenithGeocentric, 3) + "},\n";
    } else {
        j += "  \"geocentricRadiant\": null,\n";
    }
    if (t.orbit) {
        const TOrbitElements& o = *t.orbit;
        j += "  \"orbit\": {\"a\": " + number(o.a, 4) + ", \"e\": " + number(o.e, 5) + ", \"q\": " + number(o.q, 5) +
             ", \"i\": " + number(o.i, 3) + ", \"omega\": " + number(o.omega, 3) + ", \"node\": " +
             number(o.node, 5) + ", \"heliocentricSpeedKms\": " + number(o.heliocentricSpeed / 1000, 3) +
             ", \"solarLongitude\": " + number(o.solarLongitude, 5) + "}\n";
    } else {
        j += "  \"orbit\": null\n";
    }
    return j + "}\n";
}

std::string nightTable(const std::vector<TNightMeteor>& meteors) {
    std::string s = "# UTC of the first frame     stations events                 begin km  end km  v0 km/s  "
                    "RA app  Dec app  conv deg  result\n";
    for (const TNightMeteor& m : meteors) {
        std::string events;
        for (const std::string& e : m.events) events += (events.empty() ? "" : ",") + e;
        s += format("%-28s %-32s ", utcOfJulianDate(m.jdUtc).c_str(), events.c_str());
        if (m.trajectory) {
            const TTrajectory& t = *m.trajectory;
            s += format("%8.2f %7.2f %8.2f %7.2f %+8.2f %9.1f  %s\n", t.begin.place.height / 1000,
                        t.end.place.height / 1000, t.initialSpeed / 1000, t.apparentRa, t.apparentDec,
                        t.bestConvergence, m.file.c_str());
        } else {
            s += format("%8s %7s %8s %7s %8s %9s  %s\n", "-", "-", "-", "-", "-", "-",
                        std::string(codeName(m.refusal.code())).c_str());
        }
    }
    return s;
}

}  // namespace orbis
