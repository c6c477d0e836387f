#include "capture/media/uSessionGraph.h"

#include <exception>

#include "astro/uExceptions.h"

namespace orbis {

TSessionGraph::TSessionGraph(TCaptureGraph& graph, TCaptureSource source, TRecordOptions record)
    : graph_(graph), source_(std::move(source)), record_(std::move(record)) {}

bool TSessionGraph::build(const TGraphPlan& plan) {
    try {
        if (plan.recordingFile.empty()) {
            graph_.build(CaptureMode::Detect, source_);
        } else {
            record_.path = plan.recordingFile;
            graph_.build(CaptureMode::Record, source_, record_);
        }
        error_.reset();
        return true;
    } catch (const Exception& e) {
        error_ = e.diagnostic();
        return false;
    }
}

bool TSessionGraph::run() {
    if (graph_.run()) return true;
    error_ = graph_.error().value_or(TDiagnostic(Code::CaptureGraphNotStarted));
    return false;
}

std::optional<TCaptureFormat> probeCaptureFormat(const TCaptureSource& source, std::chrono::milliseconds timeout) {
    TCaptureGraph probe;
    probe.build(CaptureMode::Detect, source);
    // A live source does not preroll: it negotiates only once running.
    std::optional<TCaptureFormat> format = probe.pause(timeout) ? probe.format() : std::nullopt;
    if (!format) {
        probe.run();
        format = probe.waitForFormat(timeout);
    }
    probe.stop();
    return format;
}

}  // namespace orbis
