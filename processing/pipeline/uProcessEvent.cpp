#include "processing/pipeline/uProcessEvent.h"

#include <filesystem>
#include <optional>

#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "astrometry/uStarDetection.h"
#include "config/uConfiguration.h"
#include "measurement/uEventReport.h"
#include "measurement/uLabels.h"
#include "measurement/uPhotometry.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "reports/uJPEGComment.h"
#include "reports/uJpegFile.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}


}  // namespace

TProcessResult processEvent(const std::string& eventDirectory, const TConfiguration& config,
                            const std::string& programDirectory, UserNotifier& notifier, int currentIndex) {
    TProcessResult result;
    result.currentIndex = currentIndex;
    const TEventFiles files = eventFiles(eventDirectory);
    const std::string pBmp = files.workFile(workSuffix::kProcessedBitmap);
    const std::string mBmp = files.workFile(workSuffix::kMagnitudeBitmap);
    const std::string rBmp = files.workFile(workSuffix::kResultBitmap);
    const std::string pTxt = files.workFile(workSuffix::kProcessedStars);
    const std::string mTxt = files.workFile(workSuffix::kMagnitudeStars);
    const std::string sTxt = files.workFile(workSuffix::kIdentifiedStars);
    const std::string aTxt = files.workFile(workSuffix::kAstrometry);
    const std::string report = files.workFile(workSuffix::kReport);
    const std::string rJpg = files.workFile(workSuffix::kResultJpeg);

    // Image stages (or, when they are done, the size of P.bmp).
    const TImageStagesResult image = runImageStages(files.eventDirectory, config, programDirectory, notifier);
    if (!image.ran) return result;
    result.ran = true;

    if (config.bindStars()) {
        if (!exists(pTxt)) {
            StatusStep step(notifier, "Детектирование звёзд");
            generateListBrightPixels(pBmp, 3, StarPosition::BoundingBoxCentre, config, notifier);
        }
        // Without a scan (S.txt already there) the refinement starts from the
        // identified stars themselves.
        std::optional<TSkyPoint> estimate;
        if (!exists(sTxt)) {
            StatusStep step(notifier, "Привязка координат");
            estimate = alignStarMap(pTxt, config, programDirectory, notifier);
        }
        if (exists(sTxt)) {
            StatusStep step(notifier, "Уточнение центра кадра");
            findCenterFrame(sTxt, estimate, config, notifier);
        }
    }
    if (config.addStarMagn()) {
        StatusStep step(notifier, "Дополнительные надписи (magn)");
        drawMagnitudeLabels(rBmp, notifier);
    }
    if (config.addStarSpec()) {
        StatusStep step(notifier, "Дополнительные надписи (спектр)");
        drawSpectrumLabels(rBmp, notifier);
    }

    if (config.createReport()) {
        const std::string track = trackFileName(files.eventDirectory);
        if (exists(track)) {
            // Positions of the unprocessed frames into the processed one.
            const TDistortion distortion = TDistortion::fromConfiguration(config);
            std::optional<TCorrectedPointFinder> finder;
            if (config.correctDistortion()) finder.emplace(image.width, image.height, distortion);
            const PointMapping map = [&](int& x, int& y) {
                mapTrackPoint(x, y, config.doubleFrameHeight(), config.correctDistortion(), distortion,
                              finder ? &*finder : nullptr);
            };
            {
                StatusStep step(notifier, "Приведение звёздных величин");
                if (!exists(mTxt)) {
                    generateListBrightPixels(mBmp, 1, StarPosition::BrightestPixel, config, notifier);
                    if (exists(mTxt)) attachCatalogMagnitudes(mTxt, sTxt, map);
                }
            }
            {
                StatusStep step(notifier, "Расчёт координат положения метеора");
                const std::vector<std::string> trackLines = mappedTrackLines(track, map);
                if (exists(aTxt)) {
                    std::vector<std::string> lines = readTextLines(aTxt);
                    lines.insert(lines.end(), trackLines.begin(), trackLines.end());
                    writeTextLines(aTxt, lines);
                }
            }
        }
        if (exists(aTxt)) {
            StatusStep step(notifier, "Формирование отчёта");
            computeTrackCoordinates(aTxt);
            const double magnitude = meteorMagnitude(aTxt, mTxt);
            const TReportOutcome outcome = writeEventReport(report, magnitude, config, programDirectory);
            if (outcome == TReportOutcome::NoTrack) {
                notifier.message("Orbisight",
                                 "Трек метеора не размечен (в файле " + aTxt +
                                     " нет строк START и FINISH): отчёт не сформирован.",
                                 MessageIcon::Warning);
            }
            result.reportWritten = outcome == TReportOutcome::Written;
        }
        if (exists(aTxt) && exists(report) && exists(rBmp)) {
            saveGreyJpeg(loadGreyFrame(rBmp), rJpg);
            annotateJpeg(rJpg, report, aTxt, config);
        }
    }

    if (config.deleteTemp() && exists(aTxt) && exists(report) && exists(rBmp)) {
        const std::string keep[] = {"M" + files.eventName + ".txt", "M" + files.eventName + "R.bmp",
                                    "M" + files.eventName + "R.jpg"};
        for (const std::string& name : listDirectory(files.eventDirectory, "*.*", ListKind::Files)) {
            if (std::find(std::begin(keep), std::end(keep), name) != std::end(keep)) continue;
            std::error_code ec;
            fs::remove(joinPath(files.eventDirectory, name), ec);
        }
    }

    result.files = listDirectory(files.eventDirectory, "*.bmp", ListKind::Files);
    const std::string resultName = "M" + files.eventName + "R.bmp";
    for (std::size_t i = 0; i < result.files.size(); ++i) {
        if (result.files[i].find(resultName) != std::string::npos) result.currentIndex = static_cast<int>(i);
    }
    return result;
}

}  // namespace orbis
