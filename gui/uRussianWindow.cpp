#include "gui/uRussianWindow.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orbis {

bool installRussianWindow(QCoreApplication& app) {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    // qtbase_ru holds the texts of the widgets and dialogs Qt draws itself.
    auto* translator = new QTranslator(&app);
    if (!translator->load(russian, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace orbis
