// A simulated event processed end to end gives M<event>.json: its first and
// last frame are the report's start and end, its times step by the frame
// rate from the clip's name, the proposal's heads are measured and an
// observer's track is interpolated between its ends.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/timlib.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "measurement/uEventReport.h"
#include "measurement/uTrackProposal.h"
#include "processing/uFrameExtraction.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "reports/uEventMeasurement.h"
#include "reports/uFrameMeasurement.h"
#include "sim/uSkySimulator.h"
#include "station/uEventProcessing.h"

namespace orbis {
namespace {

std::string reportValue(const std::vector<std::string>& report, const std::string& key) {
    for (const auto& l : report)
        if (l.starts_with(key + "=")) return l.substr(key.size() + 1);
    return "";
}

struct SimulatedEvent {
    test::TempDir station;
    TConfiguration config;
    TSimTruth truth;
    std::string event;
    TEventFiles files;

    SimulatedEvent() {
        config.setPathToCatalogs(ORBIS_CATALOG_DIR);
        config.setDoubleFrameHeight(false);
        config.setDeleteTemp(false);
        TSimSettings s;
        s.latitude = config.signedLatitude();
        s.longitude = config.signedLongitude();
        s.timeZone = config.timeZone();
        s.localStart = encodeDateTime({2024, 8, 12, 23, 10, 0, 120});
        s.pointingAzAlt = std::pair{330.0, 50.0};
        s.frameCount = 20;
        s.catalogPath = std::string(ORBIS_CATALOG_DIR) + "/c50.dat";
        s.limitingMagnitude = 5.0;
        TSimMeteor m;
        m.startPixel = std::pair{200.0, 300.0};
        m.endPixel = std::pair{330.0, 250.0};
        m.firstFrame = 8;
        m.frames = 6;
        m.peakMagnitude = 0.5;
        s.meteors = {m};
        truth = simulateClip(s, station.str());
        event = eventDirectoryForClip(std::filesystem::path(truth.clipPath).parent_path().string(),
                                      std::filesystem::path(truth.clipPath).filename().string());
        test::RecordingNotifier quiet;
        TAviReader reader(truth.clipPath);
        TFrameExtractor extractor(event, 1, quiet);
        for (int i = 0; i < reader.info().frameCount; ++i)
            extractor.GrabVideo(reader.readFrame(i), {reader.info().width, reader.info().height, 8});
        files = eventFiles(event);
        // The scan near the pointing only: the test is about what follows.
        config.setAutoDetectMinDEC(truth.pointing.dec - 8);
        config.setAutoDetectMaxDEC(truth.pointing.dec + 8);
        config.setAutoDetectMinRA(truth.pointing.ra - 8);
        config.setAutoDetectMaxRA(truth.pointing.ra + 8);
    }

    TEventMeasurement process() {
        test::RecordingNotifier told;
        const TProcessResult r = processEvent(event, config, station.str(), told);
        for (const auto& m : told.messages) ADD_FAILURE() << m.caption << ": " << m.text;
        EXPECT_TRUE(r.reportWritten);
        return readEventMeasurement(files.stem + ".json");
    }
};

TEST(FrameMeasurement, ASimulatedEventFrameByFrame) {
    SimulatedEvent e;
    TTrackProposal proposal;
    ASSERT_EQ(writeProposedTrack(e.event, e.config, false, &proposal), TrackProposalOutcome::Written);
    const TEventMeasurement m = e.process();
    const std::vector<std::string> report = readTextLines(e.files.workFile(workSuffix::kReport));

    ASSERT_EQ(m.frames.size(), static_cast<std::size_t>(proposal.finish.frame - proposal.start.frame + 1));
    const TFrameMeasurement &first = m.frames.front(), &last = m.frames.back();
    EXPECT_EQ(first.frame, proposal.start.frame);
    EXPECT_EQ(last.frame, proposal.finish.frame);
    // The report's start and end, as it writes them.
    EXPECT_EQ(formatFloat("0.000", first.ra, '.'), reportValue(report, "RA_BEG"));
    EXPECT_EQ(formatFloat("0.000", first.dec, '.'), reportValue(report, "DEC_BEG"));
    EXPECT_EQ(formatFloat("0.000", last.ra, '.'), reportValue(report, "RA_END"));
    EXPECT_EQ(formatFloat("0.000", last.dec, '.'), reportValue(report, "DEC_END"));

    // The clip is named by its first frame (shorter than the frames written
    // after an event: it declared nothing before); a head is where the
    // meteor is when its frame's exposure ends.
    EXPECT_EQ(m.framesPerSecond, 25);
    EXPECT_EQ(m.clipStartUtc, "2024-08-12T23:10:00.120Z");
    EXPECT_FALSE(m.interlaced);
    for (std::size_t i = 0; i < m.frames.size(); ++i) {
        const TFrameMeasurement& f = m.frames[i];
        EXPECT_NEAR(f.time, f.frame / 25.0, 1e-9) << f.frame;
        EXPECT_NEAR((f.jdUt - m.clipStartJdUt) * 86400, f.time, 1e-4);
        if (i > 0) {
            EXPECT_NEAR(f.time - m.frames[i - 1].time, 0.04, 1e-9);
        }
        // Every frame's head as the proposal found it, near the truth.
        EXPECT_FALSE(f.interpolated) << f.frame;
        const auto& truthHead = e.truth.meteors[0].frameHeads[static_cast<std::size_t>(f.frame - 1 - e.truth.meteors[0].firstFrame)];
        EXPECT_NEAR(f.x, truthHead.first, 2.0) << f.frame;
        EXPECT_NEAR(f.y, truthHead.second, 2.0) << f.frame;
        // Its sky position against the simulator's, and its horizontal
        // position against the station's own routine at the frame's time
        // (J2000 against the date: within precession's half degree).
        const TSkyPoint sky = skyAtClipPixel(e.truth, f.x, f.y);
        EXPECT_LT(ACS(SN(sky.dec) * SN(f.dec) + CS(sky.dec) * CS(f.dec) * CS(sky.ra - f.ra)), 0.05) << f.frame;
        double altitude = 0, azimuth = 0;
        EQUHOR(f.dec, LMST(f.jdUt - 2400000.5, e.config.signedLongitude()) * 15.0 - f.ra, e.config.signedLatitude(),
               altitude, azimuth);
        EXPECT_NEAR(f.altitude, altitude, 0.5);
        EXPECT_NEAR(std::fmod(f.azimuth - azimuth + 360.0, 360.0), 180.0, 0.8);
        // A bright meteor: its magnitude on every frame, near the truth's.
        ASSERT_TRUE(f.magnitude.has_value()) << f.frame;
        EXPECT_NEAR(*f.magnitude, e.truth.meteors[0].frameMagnitudes[static_cast<std::size_t>(f.frame - 1 - e.truth.meteors[0].firstFrame)],
                    1.5) << f.frame;
    }
    EXPECT_EQ(m.referenceStars, static_cast<int>(m.starResiduals.size()));
    EXPECT_NEAR(m.plateScale, 206264.8 / 800, 5);  // 8 mm at 100 px/mm
    EXPECT_LT(m.residualRms, 0.5 * m.plateScale);  // under half a pixel
    EXPECT_NEAR(m.latitude, 52.43, 1e-12);
    EXPECT_NEAR(m.longitude, 30.98, 1e-12);

    // The observer moves the end by a pixel: the proposal no longer is the
    // track, the frames between are put on the line between its ends.
    saveTrackFile(e.event, proposal.start, {proposal.finish.x + 1, proposal.finish.y, proposal.finish.frame},
                  proposal.brightness);
    const TEventMeasurement marked = e.process();
    ASSERT_EQ(marked.frames.size(), m.frames.size());
    for (std::size_t i = 0; i < marked.frames.size(); ++i) {
        EXPECT_EQ(marked.frames[i].interpolated, i > 0 && i + 1 < marked.frames.size()) << i;
    }
    EXPECT_EQ(marked.frames.back().x, proposal.finish.x + 1);
    const std::size_t mid = marked.frames.size() / 2;
    const double share = static_cast<double>(mid) / static_cast<double>(marked.frames.size() - 1);
    EXPECT_NEAR(marked.frames[mid].x, proposal.start.x + share * (proposal.finish.x + 1 - proposal.start.x), 0.5);
}

TEST(FrameMeasurement, MagnitudeScaleIsTheReports) {
    // The per-frame magnitudes and the report's from the same M.txt and the
    // same brightness sum agree.
    test::TempDir dir;
    const std::string mTxt = (dir / "MxM.txt").string(), aTxt = (dir / "MxA.txt").string();
    writeTextLines(mTxt, std::vector<std::string>{"0|0|10|10|5000|20|2.1", "0|0|50|60|1900|12|3.3", "0|0|90|20|800|9|",
                                                  "0|0|30|70|12000|25|1.2"});
    writeTextLines(aTxt, std::vector<std::string>{"1|2|10|10|2.1|a|A", "10|20|320|240|0.00|CENTER|CENTER",
                                                  "5|6|100|100|7|7300|START|", "7|8|200|150|9|40|FINISH|"});
    const auto scale = magnitudeScale(mTxt);
    ASSERT_TRUE(scale.has_value());
    EXPECT_DOUBLE_EQ(*scale->magnitudeOf(7300), meteorMagnitude(aTxt, mTxt));
    EXPECT_FALSE(scale->magnitudeOf(0).has_value());
    EXPECT_FALSE(magnitudeScale((dir / "none.txt").string()).has_value());
}

}  // namespace
}  // namespace orbis
