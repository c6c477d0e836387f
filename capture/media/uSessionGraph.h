#pragma once
// The GStreamer graph as a recording session drives it: detection and
// preview run the Detect graph (the session decides what the detector does
// with the frames), plain recording the Record graph into the file the
// session named. The window and the headless station both use it.

#include <chrono>
#include <optional>
#include <string>

#include "capture/media/uCaptureGraph.h"
#include "capture/uRecordingSession.h"

namespace orbis {

class TSessionGraph final : public CaptureGraphControl {
public:
    // `record` holds the compressor and time stamp of a plain recording; its
    // path is the session's.
    TSessionGraph(TCaptureGraph& graph, TCaptureSource source, TRecordOptions record = {});

    bool build(const TGraphPlan& plan) override;
    bool run() override;
    bool pause() override { return graph_.pause(); }
    bool resume() override { return graph_.run(); }
    void stop() override { finished_ = graph_.stop(); }
    bool active() const override { return graph_.state() != GraphState::Empty; }

    // Why the last build or run failed (the graph's diagnostic), nothing
    // after a success.
    const std::optional<TDiagnostic>& error() const { return error_; }
    // False when the last stop left a plain recording unfinished (its index
    // may be missing).
    bool recordingFinished() const { return finished_; }

private:
    TCaptureGraph& graph_;
    TCaptureSource source_;
    TRecordOptions record_;
    std::optional<TDiagnostic> error_;
    bool finished_ = true;
};

// The format a source delivers, found by building a detection graph on it
// and letting it preroll (a file or test source) or run until its first
// frame (a live camera). Nothing when no frame comes within the timeout.
// Raises what TCaptureGraph::build raises for a source it cannot make.
std::optional<TCaptureFormat> probeCaptureFormat(const TCaptureSource& source,
                                                 std::chrono::milliseconds timeout = std::chrono::seconds(5));

}  // namespace orbis
