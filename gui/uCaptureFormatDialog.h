#pragma once
// "Параметры захвата": the formats, sizes and rates the device offers; the
// one chosen is asked of the device at the next start.

#include <QDialog>
#include <optional>
#include <vector>

#include "capture/media/uMediaTypes.h"

class QListWidget;

namespace orbis {

class TCaptureFormatDialog final : public QDialog {
    Q_OBJECT
public:
    TCaptureFormatDialog(std::vector<TCaptureFormat> formats, const std::optional<TCaptureFormat>& current,
                         QWidget* parent = nullptr);
    // The selected format; nothing leaves the choice to the device.
    std::optional<TCaptureFormat> chosen() const;

private:
    std::vector<TCaptureFormat> formats_;
    QListWidget* list_;
};

}  // namespace orbis
