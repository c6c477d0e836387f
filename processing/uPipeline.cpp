#include "processing/uPipeline.h"

#include <filesystem>

#include "astro/uExceptions.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"

namespace orbis {

namespace fs = std::filesystem;

TEventFiles eventFiles(const std::string& eventDirectory) {
    TEventFiles f;
    // The names come from the path's last two parts, so "." or "event/."
    // must become the real folder names first.
    std::error_code ec;
    const fs::path absolute = fs::absolute(eventDirectory, ec);
    f.eventDirectory = (ec ? fs::path(eventDirectory) : absolute).lexically_normal().string();
    while (f.eventDirectory.size() > 1 && f.eventDirectory.back() == '/') f.eventDirectory.pop_back();
    const std::size_t slash = f.eventDirectory.rfind('/');
    f.nightDirectory = slash == std::string::npos ? std::string() : f.eventDirectory.substr(0, slash);
    f.eventName = eventNameOfDirectory(f.nightDirectory, f.eventDirectory);
    f.stem = workFileStem(f.nightDirectory, f.eventDirectory);
    return f;
}

std::vector<std::string> frameFiles(const std::string& eventDirectory) {
    std::vector<std::string> frames;
    for (const std::string& name : listDirectory(eventDirectory, "*.bmp", ListKind::Files)) {
        if (isFrameFileName(name)) frames.push_back(joinPath(eventDirectory, name));
    }
    return frames;
}

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// A file to read, not a folder: an empty file setting resolves to the
// program directory itself, which must count as no file.
bool isFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

}  // namespace

TPictureSize processedPictureSize(int frameWidth, int frameHeight, const TConfiguration& config) {
    TPictureSize size{frameWidth, config.doubleFrameHeight() ? 2 * frameHeight : frameHeight};
    if (config.correctDistortion()) {
        const TDistortion d = TDistortion::fromConfiguration(config);
        size.width += 2 * d.addResultWidth;
        size.height += 2 * d.addResultHeight;
    }
    return size;
}

void requireWorkBitmapSize(const std::string& path, int width, int height, TPictureSize expected) {
    if (width == expected.width && height == expected.height) return;
    throw EInvalidGraphic(TDiagnostic(Code::WorkBitmapSizeWrong)
                              .with("file", path)
                              .with("width", width)
                              .with("height", height)
                              .with("expectedWidth", expected.width)
                              .with("expectedHeight", expected.height));
}

TImageStagesResult runImageStages(const std::string& eventDirectory, const TConfiguration& config,
                                  const std::string& programDirectory, UserNotifier& notifier) {
    TImageStagesResult result;
    const std::vector<std::string> paths = frameFiles(eventDirectory);
    if (paths.empty()) return result;
    result.ran = true;
    result.frames = static_cast<int>(paths.size());
    const TEventFiles files = eventFiles(eventDirectory);
    const std::string pBmp = files.workFile(workSuffix::kProcessedBitmap);
    const std::string mBmp = files.workFile(workSuffix::kMagnitudeBitmap);
    const std::string rBmp = files.workFile(workSuffix::kResultBitmap);

    // All three: a run cut short after P.bmp and M.bmp (a full disk) must
    // not leave the event without its R.bmp for good.
    if (exists(pBmp) && exists(mBmp) && exists(rBmp)) {
        // The later stages read them as pictures of these frames under
        // these settings.
        const TGreyFrame frame = loadGreyFrame(paths.front());
        const TPictureSize processed = processedPictureSize(frame.width, frame.height, config);
        const TGreyFrame m = loadGreyFrame(mBmp);
        requireWorkBitmapSize(mBmp, m.width, m.height, {frame.width, frame.height});
        const TGreyFrame p = loadGreyFrame(pBmp);
        requireWorkBitmapSize(pBmp, p.width, p.height, processed);
        const TGreyFrame r = loadGreyFrame(rBmp);
        requireWorkBitmapSize(rBmp, r.width, r.height, processed);
        result.skipped = true;
        result.width = p.width;
        result.height = p.height;
        return result;
    }

    std::vector<TFrameBuffer> frames;
    int W = 0, H = 0;
    {
        StageStep step(notifier, Code::StageReadingFrames);
        notifier.progressShow(static_cast<int>(paths.size()));
        for (std::size_t i = 0; i < paths.size(); ++i) {
            TGreyFrame f = loadGreyFrame(paths[i]);
            if (i > 0 && (f.width != W || f.height != H)) {
                notifier.progressHide();
                throw EInvalidGraphic(TDiagnostic(Code::EventFrameSizeDiffers)
                                          .with("file", paths[i])
                                          .with("width", f.width)
                                          .with("height", f.height)
                                          .with("eventWidth", W)
                                          .with("eventHeight", H));
            }
            W = f.width;
            H = f.height;
            frames.push_back(std::move(f.pixels));
            notifier.progressPosition(static_cast<int>(i));
            notifier.pump();
        }
    }
    const std::size_t n = static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
    const TPictureSize processed = processedPictureSize(W, H, config);

    if (config.remDarkFrame()) {
        StageStep step(notifier, Code::StageRemovingDarkFrame);
        const std::string darkPath = resolveInProgramDirectory(programDirectory, config.darkFrame());
        if (isFile(darkPath)) {
            const TGreyFrame dark = loadGreyFrame(darkPath);
            // A dark frame of another camera or mode would darken only part
            // of the picture: the events go on without it, as without a file.
            if (dark.width != W || dark.height != H) {
                notifier.report(TDiagnostic(Code::DarkFrameSizeDiffers, Severity::Warning)
                                    .with("file", darkPath)
                                    .with("width", dark.width)
                                    .with("height", dark.height)
                                    .with("eventWidth", W)
                                    .with("eventHeight", H));
            } else {
                for (std::size_t i = 0; i < frames.size(); ++i) {
                    removeDarkFrame(dark.pixels, W, n, frames[i]);
                    notifier.progressPosition(static_cast<int>(i));
                    notifier.pump();
                }
            }
        }
    }

    if (config.remGradFrame()) {
        StageStep step(notifier, Code::StageLevellingBackground);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            levelBackground(W, H, frames[i]);
            notifier.progressPosition(static_cast<int>(i));
            notifier.pump();
        }
    }

    TFrameBuffer background;
    std::vector<uint8_t> maximum;
    {
        StageStep step(notifier, Code::StageSummingFrames);
        TFrameAccumulators acc = sumFrames(frames, n);
        background = meanWithoutMaximum(acc);
        maximum = std::move(acc.maximum);
        frames.clear();
        frames.shrink_to_fit();
        notifier.progressShow(10);
    }
    {
        StageStep step(notifier, Code::StageSavingMagnitudeFrame);
        saveGreyBitmap(background, W, H, mBmp);
    }
    if (config.autoContrastFrame()) {
        StageStep step(notifier, Code::StageAutoContrast);
        notifier.progressPosition(4);
        autoContrast(background, config.autoDetectCoefContrast());
    }
    TFrameBuffer resultBuffer;
    {
        StageStep step(notifier, Code::StageOverlayingMeteor);
        notifier.progressPosition(6);
        resultBuffer = overlayMeteor(background, maximum);
        maximum.clear();
        notifier.progressPosition(8);
        notifier.progressHide();
    }
    if (config.doubleFrameHeight()) {
        StageStep step(notifier, Code::StageDoublingHeight);
        notifier.progressShow(10);
        background = doubleHeight(background, W);
        notifier.progressPosition(2);
        interpolateOddRows(background, W, 2 * H);
        notifier.progressPosition(4);
        resultBuffer = doubleHeight(resultBuffer, W);
        notifier.progressPosition(6);
        interpolateOddRows(resultBuffer, W, 2 * H);
        notifier.progressPosition(8);
        H *= 2;
        notifier.progressHide();
    }
    if (config.correctDistortion()) {
        StageStep step(notifier, Code::StageCorrectingDistortion);
        notifier.progressShow(10);
        const TDistortion d = TDistortion::fromConfiguration(config);
        W = processed.width;
        H = processed.height;
        notifier.progressPosition(2);
        std::vector<uint8_t>* both[] = {&background, &resultBuffer};
        correctDistortion(W, H, both, d);
        notifier.progressPosition(10);
        notifier.progressHide();
    }
    saveGreyBitmap(background, W, H, pBmp);
    saveGreyBitmap(resultBuffer, W, H, rBmp);
    notifier.progressHide();
    result.width = W;
    result.height = H;
    return result;
}

}  // namespace orbis
