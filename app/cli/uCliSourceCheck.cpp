#include "app/cli/uCliSourceCheck.h"

#include <algorithm>
#include <string>

namespace orbis {

namespace {

bool openOrEqual(int asked, int offered) { return asked == 0 || offered == 0 || asked == offered; }

std::string deviceText(const TMediaDevice& d) { return d.node.empty() ? d.name : d.name + " (" + d.node + ")"; }

}  // namespace

bool formatOffers(const TCaptureFormat& offered, const TCaptureFormat& asked) {
    if (offered.gstFormat != asked.gstFormat) return false;
    if (!openOrEqual(asked.width, offered.width) || !openOrEqual(asked.height, offered.height)) return false;
    if (asked.fpsNumerator <= 0 || offered.fpsNumerator <= 0) return true;
    // 30000/1001 asked of a device that says 30000/1001, or 25/1 of 50/2.
    return static_cast<long long>(asked.fpsNumerator) * offered.fpsDenominator ==
           static_cast<long long>(offered.fpsNumerator) * asked.fpsDenominator;
}

std::optional<TDiagnostic> deviceSourceProblem(const TCaptureSource& source, std::span<const TMediaDevice> devices) {
    if (!source.isDevice) return std::nullopt;
    // The capture graph looks a device up by node first, then by name.
    auto found = std::find_if(devices.begin(), devices.end(), [&](const TMediaDevice& d) { return d.node == source.text; });
    if (found == devices.end())
        found = std::find_if(devices.begin(), devices.end(), [&](const TMediaDevice& d) { return d.name == source.text; });
    if (found == devices.end()) {
        std::string list;
        for (const TMediaDevice& d : devices) list += (list.empty() ? "" : ", ") + deviceText(d);
        return TDiagnostic(Code::DeviceNotListed).with("device", source.text).with("devices", list);
    }
    if (!source.format || found->formats.empty()) return std::nullopt;
    if (std::any_of(found->formats.begin(), found->formats.end(),
                    [&](const TCaptureFormat& f) { return formatOffers(f, *source.format); }))
        return std::nullopt;
    std::string list;
    for (const TCaptureFormat& f : found->formats) list += (list.empty() ? "" : ", ") + formatSpecText(f);
    return TDiagnostic(Code::FormatNotListed)
        .with("format", formatSpecText(*source.format))
        .with("device", deviceText(*found))
        .with("formats", list);
}

}  // namespace orbis
