#pragma once
// "Кодеки видеокомпрессии": the installed video encoders a plain recording
// can compress with, one to choose, and "Настройка" for its settings (the
// encoder's properties, a row each). The caller preselects, reads the
// chosen name on OK and the settings made for it.

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "capture/media/uEncoders.h"

class QListWidget;
class QWidget;

namespace orbis {

class UserNotifier;

// The settings of one encoder: a row per property, an editor fitting its
// type. OK yields every property that differs from its default.
class TEncoderSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    TEncoderSettingsDialog(const QString& encoder, std::vector<TEncoderProperty> properties, QWidget* parent = nullptr);
    TEncoderSettings settings() const;
    // The editor of a property (a QCheckBox, QComboBox or QLineEdit).
    QWidget* editor(const std::string& property) const;

private:
    std::vector<TEncoderProperty> properties_;
    std::vector<QWidget*> editors_;
};

class TfrmCompressCodec final : public QDialog {
    Q_OBJECT
public:
    TfrmCompressCodec(std::vector<std::string> encoders, UserNotifier& notifier, QWidget* parent = nullptr);

    QListWidget* ListBox1() const { return list_; }
    // The settings the caller had for an encoder, the start of "Настройка".
    void setSettings(const std::string& encoder, TEncoderSettings settings);
    // The text of the selected item (empty when none is).
    QString selectedName() const;
    // The settings made for the selected item: those given or made through
    // "Настройка" for that encoder, none for any other.
    TEncoderSettings selectedSettings() const;

    // The item clicked becomes the encoder "Настройка" works on.
    void ListBox1Click();
    // "Настройка": the selected encoder's settings; nothing before a click.
    void BitBtn3Click();

    // What shows the settings dialog (tests answer it instead).
    std::function<int(TEncoderSettingsDialog&)> runSettingsDialog;

private:
    UserNotifier& notifier_;
    QListWidget* list_;
    std::string selected_;          // the encoder last clicked, or empty
    std::string settingsEncoder_;   // whose settings settings_ are
    TEncoderSettings settings_;
};

}  // namespace orbis
