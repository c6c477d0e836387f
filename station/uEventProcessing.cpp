#include "station/uEventProcessing.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "astrometry/uStarCatalog.h"
#include "astrometry/uStarDetection.h"
#include "config/uConfiguration.h"
#include "measurement/uEventReport.h"
#include "measurement/uLabels.h"
#include "measurement/uPhotometry.h"
#include "measurement/uTrack.h"
#include "processing/uBitmap.h"
#include "processing/uDistortionFit.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "reports/uJPEGComment.h"
#include "reports/uJpegFile.h"
#include "reports/uEventMeasurement.h"
#include "reports/uFrameMeasurement.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Two runs on one event would both append the track to A.txt, and one's
// clean-up would take the other's work files. The holder of an exclusive
// flock on the event's lock file works on it; the lock is tried, not
// waited for, and the holder removes the file while it still holds it.
class TEventLock {
public:
    explicit TEventLock(const std::string& eventDirectory) : path_(joinPath(eventDirectory, kEventLockName)) {
        for (;;) {
            fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            // Another user's lock file locks as well when only read.
            if (fd_ < 0 && errno == EACCES) fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
            // No folder, or one that cannot be written: no run can change it.
            if (fd_ < 0) return;
            if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
                busy_ = errno == EWOULDBLOCK;
                ::close(fd_);
                fd_ = -1;
                return;
            }
            // A holder that finished between our open and our flock removed
            // the file: a lock on it would guard nothing, so take the new one.
            struct stat held {}, named {};
            if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                held.st_ino == named.st_ino)
                return;
            ::close(fd_);
        }
    }
    ~TEventLock() {
        if (fd_ < 0) return;
        ::unlink(path_.c_str());
        ::close(fd_);
    }
    TEventLock(const TEventLock&) = delete;
    TEventLock& operator=(const TEventLock&) = delete;

    bool busy() const { return busy_; }

private:
    std::string path_;
    int fd_ = -1;
    bool busy_ = false;
};

// A run that ends without its report leaves the list of the work files it
// wrote, each with its time and size; the next run first removes those
// still as that run left them, so it takes nothing of a failed run as its
// own (a stage skips an output that exists). A file changed since, by an
// observer or by hand, stays.
class TRunRecord {
public:
    TRunRecord(const std::string& eventDirectory, std::vector<std::string> workFiles)
        : path_(joinPath(eventDirectory, kUnfinishedRunName)),
          workFiles_(std::move(workFiles)),
          start_(fs::file_time_type::clock::now()) {}
    ~TRunRecord() {
        // An error ended the run: what it wrote is not to be trusted.
        if (!done_) finish(false);
    }
    TRunRecord(const TRunRecord&) = delete;
    TRunRecord& operator=(const TRunRecord&) = delete;

    // Removes the files the last unfinished run left as it left them.
    void removeLeftovers() const {
        if (!exists(path_)) return;
        try {
            for (const std::string& line : readTextLines(path_)) {
                const std::size_t a = line.find('\t'), b = a == std::string::npos ? a : line.find('\t', a + 1);
                if (b == std::string::npos) continue;
                const std::string file = line.substr(0, a);
                if (std::find(workFiles_.begin(), workFiles_.end(), file) == workFiles_.end()) continue;
                if (stamp(file) == line.substr(a + 1)) {
                    std::error_code ec;
                    fs::remove(file, ec);
                }
            }
        } catch (const std::exception&) {
            // An unreadable record guards nothing; the run goes on.
        }
    }

    void finish(bool reportWritten) noexcept {
        done_ = true;
        try {
            std::vector<std::string> written;
            if (!reportWritten) {
                for (const std::string& file : workFiles_) {
                    std::error_code ec;
                    if (exists(file) && fs::last_write_time(file, ec) >= start_ && !ec)
                        written.push_back(file + "\t" + stamp(file));
                }
            }
            std::error_code ec;
            if (written.empty())
                fs::remove(path_, ec);
            else
                writeTextLines(path_, written);
        } catch (const std::exception&) {
        }
    }

private:
    static std::string stamp(const std::string& file) {
        std::error_code ec;
        const auto time = fs::last_write_time(file, ec).time_since_epoch().count();
        const auto size = fs::file_size(file, ec);
        return ec ? std::string() : std::to_string(time) + "\t" + std::to_string(size);
    }

    std::string path_;
    std::vector<std::string> workFiles_;
    fs::file_time_type start_;
    bool done_ = false;
};

// M<event>.json beside the report: the meteor frame by frame. A failure
// here costs the file, not the report.
void writeFrameMeasurement(const TEventFiles& files, const TConfiguration& config, const TImageStagesResult& image,
                           UserNotifier& notifier) {
    const std::string path = files.stem + ".json";
    try {
        if (const auto measurement = measureEventFrames(files.eventDirectory, config, {image.width, image.height}))
            writeEventMeasurement(path, *measurement);
    } catch (const std::exception& e) {
        notifier.report(TDiagnostic(Code::EventMeasurementNotWritten, Severity::Warning)
                            .with("file", path)
                            .with("problem", e.what()));
    }
}

}  // namespace

bool removeStaleEventLock(const std::string& eventDirectory) {
    // Held by nobody: taking it succeeds, and letting it go removes it.
    bool busy = false;
    {
        const TEventLock lock(eventDirectory);
        busy = lock.busy();
    }
    return !busy && !exists(joinPath(eventDirectory, kEventLockName));
}

void requireProcessingSettings(const TConfiguration& config) {
    if (config.autoContrastFrame()) config.requireInRange({"autoDetectCoefContrast"});
    // A slip in a coefficient would move every position by tens of degrees.
    if (config.correctDistortion()) requirePlausibleDistortion(config);
    if (config.bindStars()) {
        config.requireInRange({"latitude", "longitude", "timeZone", "widthCCD", "heightCCD", "focalLength", "frameScale",
                               "levelNoiseMax", "autoDetectNStar", "autoDetectTriangleEpsilon", "autoDetectMinSide",
                               "autoDetectScanDelta", "autoDetectMinDEC", "autoDetectMaxDEC", "autoDetectMinRA",
                               "autoDetectMaxRA"});
    }
    // Magnitudes, the report and the JPEG's comment.
    if (config.createReport()) {
        config.requireInRange({"latitude", "longitude", "altitude", "timeZone", "frameExposure", "levelNoiseMax",
                               "autoDetectNStar"});
    }
}

TProcessResult processEvent(const std::string& eventDirectory, const TConfiguration& config,
                            const std::string& programDirectory, UserNotifier& notifier, TScanOptions scan) {
    requireProcessingSettings(config);
    TProcessResult result;
    const TEventFiles files = eventFiles(eventDirectory);
    const TEventLock lock(files.eventDirectory);
    if (lock.busy()) {
        notifier.report(TDiagnostic(Code::EventBusy, Severity::Warning).with("event", files.eventDirectory));
        result.busy = true;
        return result;
    }
    const std::string pBmp = files.workFile(workSuffix::kProcessedBitmap);
    const std::string mBmp = files.workFile(workSuffix::kMagnitudeBitmap);
    const std::string rBmp = files.workFile(workSuffix::kResultBitmap);
    const std::string pTxt = files.workFile(workSuffix::kProcessedStars);
    const std::string mTxt = files.workFile(workSuffix::kMagnitudeStars);
    const std::string sTxt = files.workFile(workSuffix::kIdentifiedStars);
    const std::string aTxt = files.workFile(workSuffix::kAstrometry);
    const std::string report = files.workFile(workSuffix::kReport);
    const std::string rJpg = files.workFile(workSuffix::kResultJpeg);
    // What the run will need, before its first stage: a binding without its
    // catalog would run every stage and fail at the end. (An event without
    // frames is told so by the image stages.)
    const bool hasFrames = exists(pBmp) || !frameFiles(files.eventDirectory).empty();
    if (hasFrames && config.bindStars() && !exists(sTxt)) {
        const std::string catalog = starCatalogPath(config, programDirectory);
        if (!exists(catalog)) throw EInOutError(TDiagnostic(Code::BindingCatalogMissing).with("file", catalog));
    }
    TRunRecord record(files.eventDirectory, {pBmp, mBmp, rBmp, pTxt, mTxt, sTxt, aTxt, report, rJpg});
    record.removeLeftovers();

    // Image stages (or, when they are done, the size of P.bmp).
    const TImageStagesResult image = runImageStages(files.eventDirectory, config, programDirectory, notifier);
    if (!image.ran) return result;
    result.ran = true;

    if (config.bindStars()) {
        if (!exists(pTxt)) {
            StageStep step(notifier, Code::StageStarDetection);
            generateListBrightPixels(pBmp, 3, StarPosition::BoundingBoxCentre, config, notifier);
        }
        // Without a scan (S.txt already there) the refinement starts from the
        // identified stars themselves.
        std::optional<TSkyPoint> estimate;
        if (!exists(sTxt)) {
            StageStep step(notifier, Code::StageBinding);
            estimate = alignStarMap(pTxt, config, programDirectory, notifier, scan);
        }
        if (exists(sTxt)) {
            StageStep step(notifier, Code::StageFrameCentre);
            findCenterFrame(sTxt, estimate, config, notifier, programDirectory);
        }
    }
    if (config.addStarMagn()) {
        StageStep step(notifier, Code::StageMagnitudeLabels);
        drawMagnitudeLabels(rBmp, notifier);
    }
    if (config.addStarSpec()) {
        StageStep step(notifier, Code::StageSpectrumLabels);
        drawSpectrumLabels(rBmp, notifier);
    }

    bool trackRefused = false;
    if (config.createReport()) {
        const std::string track = trackFileName(files.eventDirectory);
        if (exists(track)) {
            // A track that contradicts its frames never reaches A.txt; the
            // work files stay for it to be marked again.
            const TBitmap frame = loadBitmap(frameFiles(files.eventDirectory).front());
            if (const auto problem = trackProblem(track, image.frames, frame.width, frame.height)) {
                trackRefused = true;
                // The problem's words say the track was refused and no report made.
                notifier.report(*problem);
            }
        }
        if (exists(track) && !trackRefused) {
            // Positions of the unprocessed frames into the processed one.
            const TDistortion distortion = TDistortion::fromConfiguration(config);
            std::optional<TCorrectedPointFinder> finder;
            if (config.correctDistortion()) finder.emplace(image.width, image.height, distortion);
            const PointMapping map = [&](int& x, int& y) {
                mapTrackPoint(x, y, config.doubleFrameHeight(), config.correctDistortion(), distortion,
                              finder ? &*finder : nullptr);
            };
            {
                StageStep step(notifier, Code::StageMagnitudes);
                if (!exists(mTxt)) {
                    generateListBrightPixels(mBmp, 1, StarPosition::BrightestPixel, config, notifier);
                    if (exists(mTxt)) attachCatalogMagnitudes(mTxt, sTxt, map);
                }
            }
            {
                StageStep step(notifier, Code::StageMeteorCoordinates);
                const std::vector<std::string> trackLines = mappedTrackLines(track, map);
                if (exists(aTxt)) {
                    std::vector<std::string> lines = readTextLines(aTxt);
                    lines.insert(lines.end(), trackLines.begin(), trackLines.end());
                    writeTextLines(aTxt, lines);
                }
            }
        }
        if (exists(aTxt) && !trackRefused) {
            StageStep step(notifier, Code::StageReport);
            computeTrackCoordinates(aTxt);
            std::optional<TDiagnostic> magnitudeProblem;
            const double magnitude = meteorMagnitude(aTxt, mTxt, &magnitudeProblem);
            std::optional<TDiagnostic> showerProblem;
            const TReportOutcome outcome = writeEventReport(report, magnitude, config, programDirectory, &showerProblem);
            if (outcome == TReportOutcome::NoTrack) {
                notifier.report(TDiagnostic(Code::TrackMissingNoReport, Severity::Warning).with("file", aTxt));
            } else if (outcome == TReportOutcome::NoLength) {
                notifier.report(TDiagnostic(Code::TrackWithoutSkyLength).with("file", aTxt));
            } else if (outcome == TReportOutcome::Written && magnitudeProblem) {
                // Its words say the report carries MAGN=$.
                notifier.report(*magnitudeProblem);
            }
            if (outcome == TReportOutcome::Written && showerProblem) {
                // Its words say the report carries SHOWER=$.
                notifier.report(*showerProblem);
            }
            result.reportWritten = outcome == TReportOutcome::Written;
            if (result.reportWritten) writeFrameMeasurement(files, config, image, notifier);
        }
        if (exists(aTxt) && exists(report) && exists(rBmp) && !trackRefused) {
            // R.bmp as the image stages left it (the labels redraw it in
            // place): the JPEG shows the processed frame, nothing else.
            const TGreyFrame picture = loadGreyFrame(rBmp);
            requireWorkBitmapSize(rBmp, picture.width, picture.height, {image.width, image.height});
            saveGreyJpeg(picture, rJpg);
            annotateJpeg(rJpg, report, aTxt, config);
        }
    }

    if (config.deleteTemp() && !trackRefused && exists(aTxt) && exists(report) && exists(rBmp)) {
        const std::string keep[] = {fs::path(report).filename().string(), fs::path(rBmp).filename().string(),
                                    fs::path(rJpg).filename().string(), fs::path(files.stem + ".json").filename().string()};
        for (const std::string& name : listDirectory(files.eventDirectory, "*.*", ListKind::Files)) {
            if (std::find(std::begin(keep), std::end(keep), name) != std::end(keep) || name == kEventLockName) continue;
            std::error_code ec;
            fs::remove(joinPath(files.eventDirectory, name), ec);
        }
    }
    record.finish(result.reportWritten);
    return result;
}

}  // namespace orbis
