#pragma once
// A camera named on the command line, checked against the devices found
// before a session starts: a mistyped name or a format the camera does not
// offer is told with what there is to choose from, instead of a failure of
// the capture graph.

#include <optional>
#include <span>

#include "astro/uDiagnostic.h"
#include "capture/media/uCaptureGraph.h"

namespace orbis {

// DeviceNotListed (values "device", "devices": the names and nodes found,
// empty for none) when source is a device none of `devices` is, by name or
// node; FormatNotListed ("format", "device", "formats") when it asks for a
// format the device lists none like (fields left 0 on either side match
// anything). Nothing for a pipeline, or a device that lists no formats.
std::optional<TDiagnostic> deviceSourceProblem(const TCaptureSource& source, std::span<const TMediaDevice> devices);

// Whether an offered format can give what was asked.
bool formatOffers(const TCaptureFormat& offered, const TCaptureFormat& asked);

}  // namespace orbis
