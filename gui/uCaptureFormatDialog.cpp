#include "gui/uCaptureFormatDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace orbis {

TCaptureFormatDialog::TCaptureFormatDialog(std::vector<TCaptureFormat> formats,
                                           const std::optional<TCaptureFormat>& current, QWidget* parent)
    : QDialog(parent), formats_(std::move(formats)) {
    setObjectName("frmCaptureFormat");
    setWindowTitle(tr("Параметры захвата"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget;
    list_->setObjectName("lbFormats");
    for (const TCaptureFormat& f : formats_) {
        list_->addItem(QString::fromStdString(formatSpecText(f)));
        if (current && f == *current) list_->setCurrentRow(list_->count() - 1);
    }
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(320, 360);
}

std::optional<TCaptureFormat> TCaptureFormatDialog::chosen() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(formats_.size())) return std::nullopt;
    return formats_[static_cast<std::size_t>(row)];
}

}  // namespace orbis
