// The track proposal's heads file MeteorHeads.txt (readTrackHeads): refused
// with its code, or heads in frame order that written back read the same.

#include "astro/uExceptions.h"
#include "fuzz/uFuzzSupport.h"
#include "measurement/uTrackProposal.h"
#include "processing/uNaming.h"

namespace orbis::fuzz {

const char* const kTargetName = "trackheads";

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    const std::string folder = freshScratchFolder().string();
    TTrackProposal p;
    p.upperFieldFirst = false;
    for (int n = 4; n <= 9; ++n)
        p.heads.push_back({{100 + 9 * n, 400 - 5 * n, n}, n == 9 ? 0.5 : 1.0,
                           n == 6 ? TTrackEstimate::Predicted : TTrackEstimate::StreakFit});
    saveTrackHeads(folder, p);
    seeds.inputs.push_back(readFile(joinPath(folder, kTrackHeadsFileName)));
    p.heads.resize(1);
    p.upperFieldFirst.reset();
    saveTrackHeads(folder, p);
    seeds.inputs.push_back(readFile(joinPath(folder, kTrackHeadsFileName)));
    seeds.tokens = {"FIELDS|", "upper", "lower", "none", "|0.5|", "|1|", "|3", "|4", "-", "99999999", "|999|"};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::string folder = freshScratchFolder().string();
    writeFile(joinPath(folder, kTrackHeadsFileName), std::string_view(reinterpret_cast<const char*>(data), size));
    std::optional<TTrackHeads> heads;
    try {
        heads = readTrackHeads(folder);
    } catch (const EConvertError& e) {
        check(e.diagnostic().code() == Code::TrackHeadsDamaged, "refused without its code: " + std::string(e.what()));
        return 0;
    }
    check(heads.has_value(), "a file there read as none");
    for (std::size_t i = 1; i < heads->heads.size(); ++i)
        check(heads->heads[i].point.frame > heads->heads[i - 1].point.frame, "heads out of order");
    TTrackProposal p;
    p.heads = heads->heads;
    p.upperFieldFirst = heads->upperFieldFirst;
    saveTrackHeads(folder, p);
    const std::optional<TTrackHeads> again = readTrackHeads(folder);
    check(again && again->heads.size() == heads->heads.size() && again->upperFieldFirst == heads->upperFieldFirst,
          "written back, it reads otherwise");
    return 0;
}
