#include "astrometry/uStarDetection.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"

namespace orbis {

namespace {

// Larger spots are planets, the Moon, clouds or overlapping stars: useless
// for binding and photometry.
constexpr int kMaxStarPixels = 150;

int columnOf(int index, int width) { return index % width; }
int rowOf(int index, int width) { return index / width; }

// A run of the fill whose neighbours are still being tried: the cursor walks
// the range below the run, then the range above it. 64-bit so that the
// widened ends cannot overflow next to the ends of the buffer.
struct TPendingRun {
    int64_t next, last;
    int64_t aboveFirst, aboveLast;
    bool above;
};

// Hides the progress bar however detection ends.
class ProgressScope {
public:
    explicit ProgressScope(UserNotifier& notifier) : notifier_(notifier) {}
    ~ProgressScope() { notifier_.progressHide(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    UserNotifier& notifier_;
};

}  // namespace

TStarPhotoDescription::TStarPhotoDescription(int seed)
    : startIndex(seed), minIndex(seed), leftIndex(seed), rightIndex(seed), maxIndex(seed), brightestIndex(seed) {}

int TStarPhotoDescription::centreColumn(int width) const {
    return (columnOf(leftIndex, width) + columnOf(rightIndex, width)) / 2;
}
int TStarPhotoDescription::centreRow(int width) const { return (rowOf(minIndex, width) + rowOf(maxIndex, width)) / 2; }
int TStarPhotoDescription::brightestColumn(int width) const { return columnOf(brightestIndex, width); }
int TStarPhotoDescription::brightestRow(int width) const { return rowOf(brightestIndex, width); }

void fillStar(int threshold, int seed, int width, int n, TStarPhotoDescription& d, std::span<const uint8_t> image,
              std::vector<uint8_t>& visited) {
    if (width <= 0 || n < 0 || n % width != 0 || seed < 0 || seed >= n ||
        image.size() != static_cast<std::size_t>(n) || visited.size() != static_cast<std::size_t>(n))
        throw EInvalidArgument(TDiagnostic(Code::StarFillOutOfRange).with("seed", seed).with("width", width).with("size", n));

    const uint8_t* v = image.data();
    const int t = threshold;

    // Takes the horizontal run through s into d and returns it with the index
    // ranges of its neighbours. Runs never leave their row.
    auto takeRun = [&](int s) {
        int left = s;
        while (columnOf(left, width) > 0 && v[left] >= t) --left;
        if (v[left] < t) ++left;
        int right = s;
        while (columnOf(right, width) < width - 1 && v[right] >= t) ++right;
        if (v[right] < t) --right;

        // Empty for a seed below the threshold.
        if (left <= right) {
            int64_t sum = 0;
            int brightest = d.brightestIndex;
            for (int i = left; i <= right; ++i) {
                visited[static_cast<std::size_t>(i)] = 1;
                sum += v[i];
                if (v[i] > v[brightest]) brightest = i;
            }
            d.brightestIndex = brightest;
            d.brightnessSum += sum;
            d.pixelCount += right - left + 1;
            d.minIndex = std::min(d.minIndex, left);
            d.maxIndex = std::max(d.maxIndex, right);
            // Columns grow along the run: only its ends can move the left and
            // right marks, and pixel by pixel they end where these put them.
            if (columnOf(left, width) < columnOf(d.leftIndex, width)) d.leftIndex = left;
            if (columnOf(right, width) > columnOf(d.rightIndex, width)) d.rightIndex = right;
        }
        // Plain index ranges one wider on each side. At the picture's edges
        // they wrap: a run ending in the last column also tries column 0 of
        // its own row and of the row two above, one starting in column 0 the
        // last column of its own row and of the row two below. The stored
        // star lists were made that way.
        return TPendingRun{std::max<int64_t>(int64_t{left} - width - 1, 0), int64_t{right} - width + 1,
                           int64_t{left} + width - 1, std::min<int64_t>(int64_t{right} + width + 1, n - 1), false};
    };

    // Depth first over runs, exactly as the recursive fill visits them: a
    // qualifying neighbour is filled completely before the next candidate is
    // tested, so leftIndex, rightIndex and brightestIndex come out the same.
    // The explicit stack keeps the Moon or a lit cloud (thousands of nested
    // runs) off the call stack.
    std::vector<TPendingRun> pending;
    pending.push_back(takeRun(seed));
    while (!pending.empty()) {
        TPendingRun& run = pending.back();
        int candidate = -1;
        for (;;) {
            if (run.next > run.last) {
                if (run.above) break;
                run.above = true;
                run.next = run.aboveFirst;
                run.last = run.aboveLast;
                continue;
            }
            const auto i = static_cast<int>(run.next++);
            if (v[i] >= t && !visited[static_cast<std::size_t>(i)]) {
                candidate = i;
                break;
            }
        }
        if (candidate < 0)
            pending.pop_back();
        else
            pending.push_back(takeRun(candidate));  // invalidates run
    }
}

void sortByMeanBrightness(std::vector<TStarPhotoDescription>& list) {
    // The result is that of the selection sort: at each position the first
    // (lowest position) of the largest means among the rest is exchanged into
    // place. A tournament tree over positions finds it in log time, so a frame
    // with tens of thousands of noise specks does not take seconds.
    const std::size_t k = list.size();
    if (k < 2) return;
    std::vector<double> mean(k);
    for (std::size_t i = 0; i < k; ++i)
        mean[i] = list[i].pixelCount == 0 ? 0.0
                                          : static_cast<double>(list[i].brightnessSum) / list[i].pixelCount;

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t leaves = 1;
    while (leaves < k) leaves *= 2;
    // Node: the position of the first largest mean below it, or kNone.
    std::vector<std::size_t> tree(2 * leaves, kNone);
    auto winner = [&](std::size_t a, std::size_t b) {
        if (a == kNone) return b;
        if (b == kNone) return a;
        return mean[b] > mean[a] ? b : a;  // a is the lower position: it keeps ties
    };
    auto setLeaf = [&](std::size_t position, bool active) {
        std::size_t node = leaves + position;
        tree[node] = active ? position : kNone;
        for (node /= 2; node >= 1; node /= 2) tree[node] = winner(tree[2 * node], tree[2 * node + 1]);
    };
    for (std::size_t i = 0; i < k; ++i) tree[leaves + i] = i;
    for (std::size_t node = leaves - 1; node >= 1; --node) tree[node] = winner(tree[2 * node], tree[2 * node + 1]);

    for (std::size_t i = 0; i + 1 < k; ++i) {
        const std::size_t best = tree[1];
        setLeaf(i, false);
        if (best == i) continue;
        std::swap(list[i], list[best]);
        std::swap(mean[i], mean[best]);
        setLeaf(best, true);
    }
}

bool generateListBrightPixels(const std::string& bitmapPath, int minimumSize, StarPosition position,
                              const TConfiguration& config, UserNotifier& notifier) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(bitmapPath, ec)) {
        notifier.report(TDiagnostic(Code::StarBitmapMissing).with("file", bitmapPath));
        return false;
    }
    const TGreyFrame frame = loadGreyFrame(bitmapPath);
    const int width = frame.width;
    const int height = frame.height;
    const int n = static_cast<int>(frame.pixels.size());
    const std::span<const uint8_t> image(frame.pixels);
    const int threshold = meanLevel(image) + config.levelNoiseMax();

    ProgressScope progressScope(notifier);
    std::vector<uint8_t> visited(static_cast<std::size_t>(n), 0);
    std::vector<TStarPhotoDescription> stars;
    notifier.progressShow(n);
    for (int row = 0; row < height; ++row) {
        const int rowEnd = (row + 1) * width;
        for (int c = row * width; c < rowEnd; ++c) {
            if (image[static_cast<std::size_t>(c)] < threshold || visited[static_cast<std::size_t>(c)]) continue;
            TStarPhotoDescription star(c);
            fillStar(threshold, c, width, n, star, image, visited);
            stars.push_back(star);
        }
        // Once per row, not per pixel: pumping the desktop program's event
        // queue a million times per frame would make detection crawl.
        notifier.progressPosition(rowEnd);
        notifier.pump();
    }

    sortByMeanBrightness(stars);

    const int wanted = config.autoDetectNStar();
    notifier.progressShow(std::max(wanted, 0));
    const bool brightest = position == StarPosition::BrightestPixel;
    std::vector<std::string> lines;
    for (const auto& star : stars) {
        if (static_cast<int>(lines.size()) >= wanted) break;
        if (star.pixelCount <= minimumSize || star.pixelCount >= kMaxStarPixels) continue;
        const int x = brightest ? star.brightestColumn(width) : star.centreColumn(width);
        const int row = brightest ? star.brightestRow(width) : star.centreRow(width);
        lines.push_back("0|0|" + std::to_string(x) + "|" + std::to_string(height - row - 1) + "|" +
                        std::to_string(star.brightnessSum) + "|" + std::to_string(star.pixelCount));
        notifier.progressPosition(static_cast<int>(lines.size()));
        notifier.pump();
    }
    writeTextLines(starListOfBitmap(bitmapPath), lines);
    return true;
}

TBrightness measureBrightness(const std::string& bitmapPath, int x, int y, const TConfiguration& config) {
    const TGreyFrame frame = loadGreyFrame(bitmapPath);
    // The click handler lets x reach the picture width; that column does not
    // exist, and on the top row its index lies past the buffer.
    if (x < 0 || y < 0 || x >= frame.width || y >= frame.height) return {};
    const int n = static_cast<int>(frame.pixels.size());
    const int threshold = meanLevel(frame.pixels) + config.levelNoiseMax();
    const int seed = (frame.height - y - 1) * frame.width + x;
    std::vector<uint8_t> visited(static_cast<std::size_t>(n), 0);
    TStarPhotoDescription star(seed);
    fillStar(threshold, seed, frame.width, n, star, frame.pixels, visited);
    return {star.pixelCount, star.brightnessSum};
}

}  // namespace orbis
