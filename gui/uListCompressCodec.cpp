#include "gui/uListCompressCodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "astro/uNotifier.h"
#include "gui/uQtNotifier.h"

namespace orbis {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TEncoderSettingsDialog::TEncoderSettingsDialog(const QString& encoder, std::vector<TEncoderProperty> properties,
                                               QWidget* parent)
    : QDialog(parent), properties_(std::move(properties)) {
    setObjectName("frmEncoderSettings");
    setWindowTitle(encoder);
    auto* rows = new QWidget;
    auto* form = new QFormLayout(rows);
    for (const TEncoderProperty& p : properties_) {
        QWidget* e = nullptr;
        if (p.type == "boolean") {
            auto* box = new QCheckBox;
            box->setChecked(p.value == "true");
            e = box;
        } else if (p.type == "enum") {
            auto* list = new QComboBox;
            for (const std::string& c : p.choices) list->addItem(qs(c));
            list->setCurrentText(qs(p.value));
            e = list;
        } else {
            auto* line = new QLineEdit(qs(p.value));
            e = line;
        }
        e->setObjectName(qs(p.name));
        QString tip = qs(p.description);
        if (!p.minimum.empty()) tip += qs("\n" + p.minimum + " … " + p.maximum);
        tip += "\n" + tr("по умолчанию: %1").arg(qs(p.defaultValue));
        e->setToolTip(tip);
        editors_.push_back(e);
        form->addRow(qs(p.name), e);
    }
    auto* scroll = new QScrollArea;
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 480);
}

TEncoderSettings TEncoderSettingsDialog::settings() const {
    TEncoderSettings out;
    for (std::size_t i = 0; i < properties_.size(); ++i) {
        const TEncoderProperty& p = properties_[i];
        std::string value;
        if (auto* box = qobject_cast<QCheckBox*>(editors_[i])) value = box->isChecked() ? "true" : "false";
        else if (auto* list = qobject_cast<QComboBox*>(editors_[i])) value = list->currentText().toStdString();
        else value = static_cast<QLineEdit*>(editors_[i])->text().trimmed().toStdString();
        // Only what differs from the default is a setting: the encoder's own
        // defaults may change with its version.
        if (value != p.defaultValue) out.emplace_back(p.name, value);
    }
    return out;
}

QWidget* TEncoderSettingsDialog::editor(const std::string& property) const {
    for (std::size_t i = 0; i < properties_.size(); ++i) {
        if (properties_[i].name == property) return editors_[i];
    }
    return nullptr;
}

TfrmCompressCodec::TfrmCompressCodec(std::vector<std::string> encoders, UserNotifier& notifier, QWidget* parent)
    : QDialog(parent), notifier_(notifier) {
    setObjectName("frmCompressCodec");
    setWindowTitle(tr("Кодеки видеокомпрессии"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget;
    list_->setObjectName("ListBox1");
    for (const std::string& name : encoders) list_->addItem(qs(name));
    layout->addWidget(list_);
    auto* row = new QHBoxLayout;
    auto* settings = new QPushButton(tr("Настройка"));
    settings->setObjectName("BitBtn3");
    auto* ok = new QPushButton("OK");
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Отмена"));
    cancel->setObjectName("BitBtn2");
    row->addWidget(settings);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(list_, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    connect(settings, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    runSettingsDialog = [](TEncoderSettingsDialog& d) { return d.exec(); };
    resize(434, 396);
}

void TfrmCompressCodec::setSettings(const std::string& encoder, TEncoderSettings settings) {
    settingsEncoder_ = encoder;
    settings_ = std::move(settings);
}

QString TfrmCompressCodec::selectedName() const {
    const QListWidgetItem* item = list_->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

TEncoderSettings TfrmCompressCodec::selectedSettings() const {
    return selectedName().toStdString() == settingsEncoder_ ? settings_ : TEncoderSettings{};
}

void TfrmCompressCodec::ListBox1Click() {
    const QListWidgetItem* item = list_->currentItem();
    selected_ = item ? item->text().toStdString() : std::string();
}

void TfrmCompressCodec::BitBtn3Click() {
    if (selected_.empty()) return;
    const TEncoderSettings start = selected_ == settingsEncoder_ ? settings_ : TEncoderSettings{};
    std::vector<TEncoderProperty> properties;
    try {
        properties = encoderProperties(selected_, start);
    } catch (const std::exception&) {
        notifier_.message("Orbisight", tr("Вызов страницы свойств невозможен!").toStdString(), MessageIcon::Warning);
        return;
    }
    TEncoderSettingsDialog dialog(qs(selected_), std::move(properties), this);
    if (runSettingsDialog(dialog) != QDialog::Accepted) return;
    const TEncoderSettings made = dialog.settings();
    try {
        // The encoder refuses what it cannot take, naming the property.
        encoderProperties(selected_, made);
    } catch (const std::exception& e) {
        notifier_.message("Orbisight", tr("Кодек не принял настройки: %1").arg(qs(failureText(notifier_, e))).toStdString(),
                          MessageIcon::Warning);
        return;
    }
    setSettings(selected_, made);
}

}  // namespace orbis
