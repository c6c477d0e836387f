// The automatic track proposal on the sample's kinds (tests/support/
// MeteorSample.h) at a small size: a quick check that runs under the
// sanitizers too. The acceptance figures are bench_track_proposal's.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/uConfiguration.h"
#include "measurement/uTrackProposal.h"
#include "support/MeteorSample.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

// Two events of each kind on 256 x 192 pictures: every meteor-free event
// without a meteor, and on the meteor events floors a little below what the
// proposal reaches. The acceptance figures (95 % found, 95 %
// with START and FINISH within 1.5 px on the right frames, 99 % of the
// meteor-free events without a meteor) are measured by bench_track_proposal
// on the full sample; raise the floors here as the proposal comes closer.
TEST(TrackProposalSample, TwoEventsOfEveryKind) {
    test::TempDir station;
    const TConfiguration config;
    const auto kinds = static_cast<int>(test::kSampleKinds.size());
    int meteors = 0, found = 0, endsRight = 0;
    for (int index = 0; index < 2 * kinds; ++index) {
        const test::SampleEvent e = test::writeSampleEvent(station.str(), index, ORBIS_CATALOG_DIR "/c50.dat",
                                                           {.width = 256, .height = 192, .maxFrames = 8},
                                                           test::kindOfEvent(index));
        const auto p = proposeTrack(e.directory, config);
        const test::SampleResult r = test::compareWithTruth(e, p);
        const std::string kind(test::kindName(e.kind));
        if (!e.meteor) {
            EXPECT_FALSE(p) << "event " << index << " (" << kind << ") taken for a meteor";
            continue;
        }
        ++meteors;
        found += r.found;
        endsRight += r.endsRight();
        if (p) {
            EXPECT_GE(p->brightestFrame, p->start.frame) << "event " << index;
            EXPECT_LE(p->brightestFrame, p->finish.frame) << "event " << index;
        }
        if (!r.endsRight())
            std::printf("event %d (%s): %s, START %.2f px, FINISH %.2f px, frames %s\n", index, kind.c_str(),
                        p ? "found" : "not found", r.startError, r.finishError, r.framesMatch ? "right" : "wrong");
    }
    EXPECT_EQ(meteors, 34);
    // Set when the proposal found all 34 and had all 34 right.
    EXPECT_EQ(found, 34) << "of " << meteors;
    EXPECT_GE(endsRight, 32) << "of " << meteors;
}

}  // namespace
}  // namespace orbis
