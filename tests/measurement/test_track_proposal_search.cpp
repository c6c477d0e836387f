// The indexed search of the track proposal (chains' motions kept up as they
// grow) against the all-pairs one (every pair, motions fitted anew at each
// step) on random simulated events: the same proposal to the last head, and
// the same heads file. The events mix what crowds the detections or makes chains
// that run long: meteors, aeroplanes and satellites over the whole clip,
// blinking lights, hot pixels, twinkling stars, heavy noise, woven frames,
// and lengths up to a few hundred frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "astro/uDateTime.h"
#include "config/uConfiguration.h"
#include "measurement/uTrackProposal.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"
#include "sim/uSkySimulator.h"
#include "support/MeteorSample.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

// Event `index`: small pictures, so that a few hundred frames stay quick.
TSimSettings randomEvent(int index) {
    std::mt19937 rng(static_cast<uint32_t>(9157 * index + 3));
    const auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    const auto whole = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    const auto point = [&](double margin) { return std::pair{uniform(margin, 191 - margin), uniform(margin, 143 - margin)}; };
    TSimSettings s;
    s.localStart = encodeDateTime({2024, 8, 12, 22, 0, 0, 0}) + index / 1440.0;
    s.pointingAzAlt = std::pair{uniform(0, 360), uniform(35, 85)};
    s.rollDegrees = uniform(-180, 180);
    s.width = 192, s.height = 144;
    s.catalogPath = ORBIS_CATALOG_DIR "/c50.dat";
    s.seed = static_cast<uint32_t>(index + 1);
    s.frameCount = index % 4 == 0 ? whole(120, 300) : whole(8, 60);
    s.skyLevel = uniform(15, 50);
    s.noiseSigma = index % 5 == 1 ? uniform(3, 6) : uniform(1, 3);
    s.psfSigma = uniform(0.6, 2);
    s.hotPixels = whole(0, 25);
    if (whole(0, 2) == 0) s.twinkle = uniform(0.1, 0.3);
    if (whole(0, 3) == 0) s.weave = whole(0, 1) == 0 ? TSimWeave::UpperFieldFirst : TSimWeave::LowerFieldFirst;
    if (whole(0, 4) == 0) s.photonGain = uniform(0.5, 2);
    for (int i = whole(0, 3); i > 0; --i) {
        TSimMovingLight l;
        l.startPixel = point(2), l.endPixel = point(2);
        l.firstFrame = whole(0, s.frameCount / 2);
        l.frames = whole(3, s.frameCount - l.firstFrame);
        l.magnitude = uniform(-1, 5);
        if (whole(0, 2) == 0) l.blinkPeriod = whole(3, 25), l.blinkOnFrames = whole(1, 3), l.blinkMagnitude = uniform(-1, 2);
        s.lights.push_back(l);
    }
    for (int i = whole(0, 2); i > 0; --i) {
        TSimMeteor m;
        m.startPixel = point(4), m.endPixel = point(4);
        m.frames = whole(2, std::min(16, s.frameCount));
        m.firstFrame = whole(0, std::max(s.frameCount - m.frames, 0));
        m.peakMagnitude = uniform(-3, 3);
        m.startPhase = uniform(0, 0.9), m.endPhase = uniform(0.1, 1);
        if (m.frames == 1 && m.endPhase <= m.startPhase) m.endPhase = 1;
        s.meteors.push_back(m);
    }
    return s;
}

std::vector<std::string> headsFile(const std::string& directory, const std::optional<TTrackProposal>& p) {
    if (!p) return {};
    std::filesystem::create_directories(directory);
    saveTrackHeads(directory, *p);
    return readTextLines(joinPath(directory, kTrackHeadsFileName));
}

void expectSamePoint(const TTrackPoint& a, const TTrackPoint& b, const std::string& what) {
    EXPECT_EQ(a.x, b.x) << what;
    EXPECT_EQ(a.y, b.y) << what;
    EXPECT_EQ(a.frame, b.frame) << what;
}

TEST(TrackProposalSearch, IndexedSearchProposesWhatComparingEveryPairDoes) {
    test::TempDir station;
    const TConfiguration config;
    int found = 0, longEvents = 0;
    for (int index = 0; index < 40; ++index) {
        const TSimSettings settings = randomEvent(index);
        const std::string event = test::sample_detail::takeIntoWork(simulateClip(settings, station.str()));
        const std::string what = "event " + std::to_string(index);
        const auto indexed = proposeTrack(event, config, TBlobSearch::Indexed);
        const auto plain = proposeTrack(event, config, TBlobSearch::AllPairs);
        ASSERT_EQ(indexed.has_value(), plain.has_value()) << what;
        longEvents += settings.frameCount >= 120;
        std::filesystem::remove_all(event);
        if (!plain) continue;
        ++found;
        expectSamePoint(indexed->start, plain->start, what + " START");
        expectSamePoint(indexed->finish, plain->finish, what + " FINISH");
        EXPECT_EQ(indexed->brightness.pixelCount, plain->brightness.pixelCount) << what;
        EXPECT_EQ(indexed->brightness.brightnessSum, plain->brightness.brightnessSum) << what;
        EXPECT_EQ(indexed->brightestFrame, plain->brightestFrame) << what;
        EXPECT_EQ(indexed->startEstimate, plain->startEstimate) << what;
        EXPECT_EQ(indexed->finishEstimate, plain->finishEstimate) << what;
        EXPECT_EQ(indexed->upperFieldFirst, plain->upperFieldFirst) << what;
        ASSERT_EQ(indexed->heads.size(), plain->heads.size()) << what;
        for (std::size_t k = 0; k < plain->heads.size(); ++k) {
            expectSamePoint(indexed->heads[k].point, plain->heads[k].point, what + " head " + std::to_string(k));
            EXPECT_EQ(indexed->heads[k].estimate, plain->heads[k].estimate) << what << " head " << k;
            EXPECT_EQ(indexed->heads[k].exposureEnd, plain->heads[k].exposureEnd) << what << " head " << k;
        }
        EXPECT_EQ(headsFile((station / "indexed").string(), indexed), headsFile((station / "plain").string(), plain))
            << what;
    }
    // Both outcomes, and long events among them, were compared.
    EXPECT_GE(found, 10);
    EXPECT_LE(found, 37);
    EXPECT_GE(longEvents, 10);
}

}  // namespace
}  // namespace orbis
