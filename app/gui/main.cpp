// orbisight: the desktop program. Options:
//   --station DIR        settings, nights and log (default: the program's directory)
//   --source PIPELINE    a GStreamer source listed as a capture device
//   --record-for S       start the recording page's session on the first device,
//                        stop after S seconds and quit (measurements, screenshots)
//   --screenshot FILE    save a picture of the window before quitting
//   --version            print the version, before any window opens

#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "astro/uUniUtils.h"
#include "gui/uMain.h"
#include "gui/uQtNotifier.h"
#include "gui/uRecordPage.h"
#include "gui/uRussianWindow.h"
#include "processing/uNaming.h"

namespace {

constexpr const char* kUsage =
    "usage: orbisight [--station DIR] [--source PIPELINE] [--record-for SECONDS] [--screenshot FILE]\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--version") { std::cout << "orbisight " ORBIS_VERSION "\n"; return 0; }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orbisight");
    if (!orbis::installRussianWindow(app))
        std::cerr << "orbisight: Qt's Russian translation is not installed (qt6-translations-l10n); its own texts stay English\n";
    orbis::loadFormatSettingsFromLocale();

    orbis::TMainWindowOptions options;
    options.programDirectory = orbis::executableDirectory();
    options.station = options.programDirectory;
    std::optional<double> recordFor;
    std::optional<QString> screenshot;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--station" && hasValue) {
            options.station = args[++i].toStdString();
        } else if (a == "--source" && hasValue) {
            options.source = args[++i].toStdString();
        } else if (a == "--record-for" && hasValue) {
            bool ok = false;
            recordFor = args[++i].toDouble(&ok);
            if (!ok || *recordFor <= 0) {
                std::cerr << "orbisight: --record-for takes a number of seconds\n" << kUsage;
                return 2;
            }
        } else if (a == "--screenshot" && hasValue) {
            screenshot = args[++i];
        } else {
            std::cerr << "orbisight: unknown option '" << a.toStdString() << "'\n" << kUsage;
            return 2;
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(options.station, ec)) {
        std::cerr << "orbisight: no station directory \"" << options.station << "\"\n";
        return 2;
    }
    const bool unattended = recordFor || screenshot;
    if (unattended) options.checkTimeStamp = false;

    orbis::TMainWindow window(options);
    window.show();
    int exitCode = 0;
    const auto finish = [&] {
        if (screenshot && !window.grab().save(*screenshot)) {
            std::cerr << "orbisight: cannot write " << screenshot->toStdString() << "\n";
            exitCode = 1;
        }
        window.recordPage().stopSession();
        QApplication::exit(exitCode);
    };
    if (unattended) {
        // Nobody is there to close a message box.
        window.notifier().setMessageHandler([&](const std::string& caption, const std::string& text, orbis::MessageIcon) {
            std::cerr << "orbisight: " << caption << ": " << text << "\n";
            exitCode = 1;
            QTimer::singleShot(0, &window, [] { QApplication::exit(1); });
        });
    }
    if (recordFor) {
        orbis::TRecordPage& page = window.recordPage();
        QObject::connect(&page, &orbis::TRecordPage::devicesListed, &window, [&](bool any) {
            if (any) page.startSession();
            else QApplication::exit(1);
        });
        QObject::connect(&page, &orbis::TRecordPage::sessionStarted, &window,
                         [&] { QTimer::singleShot(static_cast<int>(*recordFor * 1000), &window, finish); });
        QObject::connect(&page, &orbis::TRecordPage::sessionEnded, &window, [&] { QApplication::exit(exitCode); });
        window.N5Click(orbis::kRecordPage);
    } else if (screenshot) {
        QTimer::singleShot(500, &window, finish);
    }
    const int rc = QApplication::exec();
    return rc != 0 ? rc : exitCode;
}
